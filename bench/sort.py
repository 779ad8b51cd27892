# The work of sort.lisp: lists are cons cells (head, tail) ending in None, and
# every function recurses where the Brevalon one does; the quicksort uses Python
# lists, list comprehensions and +, as the Brevalon one uses filter and list +. Integers are wrapped to
# signed 64 bits after each * and -, as Brevalon does.
import sys
import threading

MASK = (1 << 64) - 1
MULTIPLIER = 6364136223846793005
INCREMENT = 1442695040888963407


def wrap(x):
    x &= MASK
    return x - (1 << 64) if x >= (1 << 63) else x


def next_random(x):
    return wrap(wrap(x * MULTIPLIER) - wrap(0 - INCREMENT))


def random_list(n, seed):
    if n == 0:
        return None
    x = next_random(seed)
    return (x, random_list(n - 1, x))


def split_halves(lst, a, b):
    if lst is None:
        return (a, b)
    return split_halves(lst[1], b, (lst[0], a))


def merge(a, b):
    if a is None:
        return b
    if b is None:
        return a
    if a[0] <= b[0]:
        return (a[0], merge(a[1], b))
    return (b[0], merge(a, b[1]))


def merge_sort(lst):
    if lst is None or lst[1] is None:
        return lst
    a, b = split_halves(lst, None, None)
    return merge(merge_sort(a), merge_sort(b))


def is_sorted(lst):
    if lst is None or lst[1] is None:
        return True
    if lst[0] > lst[1][0]:
        return False
    return is_sorted(lst[1])


def checksum(lst, h):
    if lst is None:
        return h
    return checksum(lst[1], wrap(wrap(h * 31) - lst[0]))


def quicksort(items):
    if not items:
        return []
    pivot = items[0]
    return (quicksort([x for x in items[1:] if x < pivot])
            + [pivot] + quicksort([x for x in items[1:] if x >= pivot]))


def take(n, lst):
    if n == 0:
        return None
    return (lst[0], take(n - 1, lst[1]))


def to_list(cells):
    items = []
    while cells is not None:
        items.append(cells[0])
        cells = cells[1]
    return items


def from_list(items):
    cells = None
    for item in reversed(items):
        cells = (item, cells)
    return cells


def nth(i, lst):
    while i > 0:
        i, lst = i - 1, lst[1]
    return lst[0]


def main():
    numbers = random_list(8000, 42)
    ordered = merge_sort(numbers)
    some = take(2000, numbers)
    print("true" if is_sorted(ordered) else "false")
    print(ordered[0])
    print(nth(4000, ordered))
    print(nth(7999, ordered))
    print(checksum(ordered, 7))
    quick = from_list(quicksort(to_list(some)))
    print("true" if quick == merge_sort(some) else "false")
    print(checksum(quick, 7))


sys.setrecursionlimit(100000)
threading.stack_size(512 * 1024 * 1024)
thread = threading.Thread(target=main)
thread.start()
thread.join()
