# The tak function, the same calls as tak.lisp.
def tak(x, y, z):
    if y < x:
        return tak(tak(x - 1, y, z), tak(y - 1, z, x), tak(z - 1, x, y))
    return z


print(tak(22, 16, 8))
