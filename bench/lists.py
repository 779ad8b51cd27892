# The work of lists.lisp with Python lists: each round builds 0 ... n-1 from
# range, then maps, filters, sums, measures and indexes it.
def numbers_below(n):
    xs = []
    for i in range(n):
        xs.append(i)
    return xs


total = 0
for round in range(25):
    xs = numbers_below(500)
    squares = list(map(lambda x: x * x, xs))
    large = list(filter(lambda x: x > round * 5000, squares))
    total = total + sum(large) + len(large) + squares[round] + xs[499]
print(total)
