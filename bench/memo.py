# The work of memo.lisp: partitions of n into parts of at most k, memoised in a
# dictionary under string keys "n k".
import sys

cache = {}


def partitions(n, k):
    if n == 0:
        return 1
    if n < 0 or k == 0:
        return 0
    key = str(n) + " " + str(k)
    if key in cache:
        return cache[key]
    value = partitions(n, k - 1) + partitions(n - k, k)
    cache[key] = value
    return value


sys.setrecursionlimit(10000)
print(partitions(5, 5))
print(partitions(40, 40))
print(partitions(60, 60))
print(len(cache))
