# The work of deep.lisp: two recursions 100,000 calls deep, run in a thread with
# a large stack. Lists are cons cells (head, tail) ending in None; integers are
# wrapped to signed 64 bits after each * and -, as Brevalon does.
import sys
import threading

MASK = (1 << 64) - 1


def wrap(x):
    x &= MASK
    return x - (1 << 64) if x >= (1 << 63) else x


def build(n):
    if n == 0:
        return None
    return (n, build(n - 1))


def weigh(lst):
    if lst is None:
        return 1
    return wrap(wrap(3 * weigh(lst[1])) - lst[0])


def main():
    numbers = build(100000)
    print(numbers[0])
    print(weigh(numbers))


sys.setrecursionlimit(300000)
threading.stack_size(512 * 1024 * 1024)
thread = threading.Thread(target=main)
thread.start()
thread.join()
