// Numeric and string arrays: dimensioning, resizing, copying and checked
// element access. A bad access records error 8 or 9 and ends the program.
#include <brindle/arrays.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "lang/fatal_error.h"
#include "lang/number_convert.h"

namespace {

constexpr int kInlineElements = 16;

[[noreturn]] void ArrayError(int code) { FatalError(code); }

struct Shape {
    double sizes[4];
    bool forceNew;
    int count;  // elements to allocate, a multiple of 8; -1 when too many
};

double AtLeastOne(double x) { return x >= 1 ? x : 1; }  // NaN counts as 1

// Sizes as given; a first size below 1 gives an array without elements that
// still takes a fresh block of 8.
Shape ShapeFor(double a, double b, double c, double d) {
    Shape s{{a, b, c, d}, false, 0};
    if (!(a >= 1)) {
        s.sizes[0] = 0;
        s.forceNew = true;
    }
    double product = s.sizes[0] * AtLeastOne(b) * AtLeastOne(c) * AtLeastOne(d);
    // Element counts that do not fit the array's int fields cannot be
    // allocated: they are treated as running out of memory.
    if (!(product < 2147483640.0)) {
        s.count = -1;
        return s;
    }
    int m = static_cast<int>(product);
    s.count = (m / 8) * 8 + 8;
    if (static_cast<size_t>(s.count) > PTRDIFF_MAX / sizeof(RtString) ||
        static_cast<size_t>(s.count) > PTRDIFF_MAX / sizeof(double))
        s.count = -1;
    return s;
}

template <class Array>
void SetShape(Array& array, const Shape& s) {
    const double* v = s.sizes;
    array.dimensions = v[3] != 0 ? 4 : v[2] != 0 ? 3 : v[1] == 0 ? 1 : 2;
    array.size1 = TruncToInt(v[0]);
    array.size2 = TruncToInt(v[1]);
    array.size3 = TruncToInt(v[2]);
    array.size4 = TruncToInt(v[3]);
    // An unused dimension (size 0) in the middle still holds index 0: the
    // strides count it as 1, as the element count does, so the dimensions
    // after it do not alias. Sizes below 1 fail every access before a stride
    // is used; the element count bounds the products.
    auto atLeastOne = [](int size) { return size > 1 ? size : 1; };
    array.stride2 = array.size1;
    array.stride3 = array.stride2 * atLeastOne(array.size2);
    array.stride4 = array.stride3 * atLeastOne(array.size3);
}

// The checks every element access makes. A dimension of size 0 is unused and
// accepts only index 0, so no index can reach past the elements.
template <class Array>
int CheckedOffset(const Array& array, bool hasBlock, double i, double j, double k, double l) {
    if (array.size1 == 0) ArrayError(8);
    auto outside = [](double index, int size) {
        if (!(index >= 0)) return true;  // negative (even if it truncates to 0) or NaN
        return index >= (size != 0 ? static_cast<double>(size) : 1.0);
    };
    if (!hasBlock || outside(i, array.size1) || outside(j, array.size2) ||
        outside(k, array.size3) || outside(l, array.size4))
        ArrayError(9);
    return static_cast<int>(i) + static_cast<int>(j) * array.stride2 +
           static_cast<int>(k) * array.stride3 + static_cast<int>(l) * array.stride4;
}

void FreeBlock(NumberArray& array) {
    if (array.data && array.data != array.inlineBuffer) delete[] array.data;
    array.data = nullptr;
    array.capacity = 0;
}

// Moves the elements and shape of `from` into `to`, leaving `from` empty.
void TakeContents(NumberArray& to, NumberArray& from) {
    FreeBlock(to);
    if (from.data == from.inlineBuffer) {
        std::memcpy(to.inlineBuffer, from.inlineBuffer, sizeof to.inlineBuffer);
        to.data = to.inlineBuffer;
    } else {
        to.data = from.data;
    }
    to.capacity = from.capacity;
    to.stride2 = from.stride2;
    to.stride3 = from.stride3;
    to.stride4 = from.stride4;
    to.size1 = from.size1;
    to.size2 = from.size2;
    to.size3 = from.size3;
    to.size4 = from.size4;
    to.dimensions = from.dimensions;
    from.data = nullptr;
    from.capacity = 0;
}

// How many indices of a dimension hold elements: an unused dimension (size 0)
// has the single index 0, a negative size none.
int Extent(int size, bool first) {
    if (size < 0) return 0;
    if (size == 0) return first ? 0 : 1;
    return size;
}

int Min(int a, int b) { return a < b ? a : b; }

}  // namespace

NumberArray::NumberArray()
    : data(nullptr), inlineBuffer{}, stride2(0), stride3(0), stride4(0), size1(0), size2(0),
      size3(0), size4(0), dimensions(0), capacity(0) {}

NumberArray::~NumberArray() { FreeBlock(*this); }

double& NumberArray::operator()(double i, double j, double k, double l) {
    return data[CheckedOffset(*this, data != nullptr, i, j, k, l)];
}

StringArray::StringArray()
    : items(nullptr), stride2(0), stride3(0), stride4(0), size1(0), size2(0), size3(0), size4(0),
      dimensions(0), capacity(0) {}

StringArray::~StringArray() {
    delete[] items;
    items = nullptr;
}

RtString& StringArray::operator()(double i, double j, double k, double l) {
    return items[CheckedOffset(*this, items != nullptr, i, j, k, l)];
}

void DimArray(NumberArray& array, double size1, double size2, double size3, double size4) {
    Shape shape = ShapeFor(size1, size2, size3, size4);
    if (shape.count < 0) ArrayError(7);
    int count = shape.count;
    if (array.capacity < count || shape.forceNew) {
        FreeBlock(array);
        array.data = count <= kInlineElements ? array.inlineBuffer
                                              : new (std::nothrow) double[count];
        if (array.data) array.capacity = count;
    } else {
        count = array.capacity;
    }
    if (!array.data) ArrayError(7);
    for (int n = 0; n < count; ++n) array.data[n] = 0;
    SetShape(array, shape);
}

void DimStringArray(StringArray& array, double size1, double size2, double size3, double size4) {
    Shape shape = ShapeFor(size1, size2, size3, size4);
    if (shape.count < 0) ArrayError(7);
    int count = shape.count;
    if (array.capacity < count || shape.forceNew) {
        delete[] array.items;
        array.capacity = 0;
        array.items = new (std::nothrow) RtString[count];
        if (array.items) array.capacity = count;
    } else {
        count = array.capacity;
        for (int n = 0; n < count; ++n) array.items[n].Assign("");
    }
    if (!array.items) ArrayError(7);
    SetShape(array, shape);
}

void ResizeArray(NumberArray& array, double size1, double size2, double size3, double size4) {
    NumberArray resized;
    DimArray(resized, size1, size2, size3, size4);
    int n1 = Min(Extent(array.size1, true), Extent(resized.size1, true));
    int n2 = Min(Extent(array.size2, false), Extent(resized.size2, false));
    int n3 = Min(Extent(array.size3, false), Extent(resized.size3, false));
    int n4 = Min(Extent(array.size4, false), Extent(resized.size4, false));
    if (array.data) {
        for (int l = 0; l < n4; ++l)
            for (int k = 0; k < n3; ++k)
                for (int j = 0; j < n2; ++j)
                    for (int i = 0; i < n1; ++i)
                        resized.data[i + j * resized.stride2 + k * resized.stride3 +
                                     l * resized.stride4] =
                            array.data[i + j * array.stride2 + k * array.stride3 +
                                       l * array.stride4];
    }
    TakeContents(array, resized);
}

void CopyArray(NumberArray& destination, NumberArray& source) {
    if (&destination == &source) return;  // dimensioning first would clear the source
    DimArray(destination, source.size1, source.size2, source.size3, source.size4);
    // Fits an int: the destination was just dimensioned to these sizes.
    int elements = static_cast<int>(destination.size1 * AtLeastOne(destination.size2) *
                                    AtLeastOne(destination.size3) * AtLeastOne(destination.size4));
    if (source.data && elements > 0)
        std::memcpy(destination.data, source.data, sizeof(double) * static_cast<size_t>(elements));
}

namespace {
template <class Array>
double SizeOf(const Array& array, double dimension) {
    switch (TruncToInt(dimension)) {
        case 0: return array.size1;
        case 1: return array.size2;
        case 2: return array.size3;
        case 3: return array.size4;
        default: return 0;
    }
}
}  // namespace

double ArraySize(const NumberArray& array, double dimension) { return SizeOf(array, dimension); }
double ArraySize(const StringArray& array, double dimension) { return SizeOf(array, dimension); }
