# The work of dispatch.lisp: area is a method of each class, and the attributes
# are read through methods, as the generic getters of defclass are called there.
class Square:
    def __init__(self, side):
        self._side = side

    def side(self):
        return self._side

    def area(self):
        return self.side() * self.side()


class Rect:
    def __init__(self, width, height):
        self._width = width
        self._height = height

    def width(self):
        return self._width

    def height(self):
        return self._height

    def area(self):
        return self.width() * self.height()


class Triangle:
    def __init__(self, base, height):
        self._base = base
        self._height = height

    def base(self):
        return self._base

    def height(self):
        return self._height

    def area(self):
        return self.base() * self.height() - self.base() * self.height() * 0


shapes = [Square(3), Rect(2, 5), Triangle(4, 7)]

total = 0
for i in range(800):
    for s in shapes:
        total = total + s.area()
print(total)
