# The work of strings.lisp. Brevalon's split returns the pieces last first, so
# the pieces are reversed here to walk them in the same order.
import sys


def number_texts(n):
    if n == 0:
        return None
    return (str(n), number_texts(n - 1))


def to_list(cells):
    items = []
    while cells is not None:
        items.append(cells[0])
        cells = cells[1]
    return items


sys.setrecursionlimit(10000)
texts = to_list(number_texts(4000))
csv = ",".join(texts)
pieces = csv.split(",")[::-1]

built = ""
for piece in pieces:
    built = built + "<" + piece + ">"

print(len(csv))
print(len(built))
print(built[0:30])
print(csv[0:30])
print("true" if "<299><300>" in built else "false")
