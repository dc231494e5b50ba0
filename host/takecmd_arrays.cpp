// Host arrays of one to four dimensions. Elements are stored sparsely:
// a shape costs nothing until its elements are set, so large shapes are
// cheap and memory grows only with what a script writes.

#include <map>
#include <string>
#include <unordered_map>

#include "standin.h"
#include "takecmd_internal.h"
#include "utf_convert.h"

namespace takecmd {
namespace {

struct Array {
  int dimensions = 0;
  int64_t sizes[MAX_ARRAY_DIMENSIONS] = {0, 0, 0, 0};
  std::unordered_map<int64_t, std::u16string> elements;
};

std::map<std::u16string, Array> arrays;  // keyed by the upper-cased name
const std::u16string emptyValue;

Array* FindArray(const std::u16string& name) {
  auto found = arrays.find(UpperKey(name));
  return found == arrays.end() ? nullptr : &found->second;
}

ElementStatus Locate(const Array* array, int count, const int64_t* indices, int64_t& offset) {
  if (array == nullptr) return ELEMENT_NOT_ARRAY;
  if (count != array->dimensions) return ELEMENT_WRONG_COUNT;
  offset = 0;
  for (int i = 0; i < count; ++i) {
    if (indices[i] < 0 || indices[i] >= array->sizes[i]) return ELEMENT_OUT_OF_RANGE;
    offset = offset * array->sizes[i] + indices[i];
  }
  return ELEMENT_OK;
}

}  // namespace

int DefineArray(const std::u16string& name, int dimensions, const int64_t* sizes) {
  if (!IsValidVariableName(name) || dimensions < 1 || dimensions > MAX_ARRAY_DIMENSIONS ||
      sizes == nullptr) {
    return -1;
  }
  int64_t total = 1;
  for (int i = 0; i < dimensions; ++i) {
    if (sizes[i] < 1 || sizes[i] > MAX_ARRAY_ELEMENTS) return -1;
    total *= sizes[i];  // both factors <= 2^31, so no overflow before the check
    if (total > MAX_ARRAY_ELEMENTS) return -1;
  }
  Array array;
  array.dimensions = dimensions;
  for (int i = 0; i < dimensions; ++i) array.sizes[i] = sizes[i];
  arrays[UpperKey(name)] = std::move(array);
  return 0;
}

void UndefineArray(const std::u16string& name) { arrays.erase(UpperKey(name)); }

void ResetArrays() { arrays.clear(); }

int ArrayDimensions(const std::u16string& name) {
  const Array* array = FindArray(name);
  return array == nullptr ? 0 : array->dimensions;
}

int64_t ArrayInfo(const std::u16string& name, int what) {
  const Array* array = FindArray(name);
  if (array == nullptr) return 0;
  if (what == 0) return array->dimensions;
  if (what >= 1 && what <= MAX_ARRAY_DIMENSIONS) return what <= array->dimensions ? array->sizes[what - 1] : 0;
  if (what == 5) {
    int64_t total = 1;
    for (int i = 0; i < array->dimensions; ++i) total *= array->sizes[i];
    return total;
  }
  return 0;
}

ElementStatus GetElement(const std::u16string& name, int count, const int64_t* indices,
                         const std::u16string** value) {
  const Array* array = FindArray(name);
  int64_t offset = 0;
  ElementStatus status = Locate(array, count, indices, offset);
  if (status != ELEMENT_OK) return status;
  auto found = array->elements.find(offset);
  *value = found == array->elements.end() ? &emptyValue : &found->second;
  return ELEMENT_OK;
}

ElementStatus SetElement(const std::u16string& name, int count, const int64_t* indices,
                         const std::u16string& value) {
  Array* array = FindArray(name);
  int64_t offset = 0;
  ElementStatus status = Locate(array, count, indices, offset);
  if (status != ELEMENT_OK) return status;
  if (value.empty()) {
    array->elements.erase(offset);
  } else {
    array->elements[offset] = value;
  }
  return ELEMENT_OK;
}

}  // namespace takecmd

using namespace takecmd;

extern "C" {

HOST_IMPORT int STANDIN_API StandInDefineArray(const char* name, int dimensions, int rows, int columns) {
  if (name == nullptr) return -1;
  int64_t sizes[MAX_ARRAY_DIMENSIONS] = {rows, columns, 1, 1};
  return DefineArray(utf::To16(name), dimensions, sizes);
}

HOST_IMPORT int STANDIN_API StandInDefineArrayN(const char* name, int dimensions, const int* sizes) {
  if (name == nullptr || sizes == nullptr || dimensions < 1 || dimensions > MAX_ARRAY_DIMENSIONS) return -1;
  int64_t wide[MAX_ARRAY_DIMENSIONS] = {0, 0, 0, 0};
  for (int i = 0; i < dimensions; ++i) wide[i] = sizes[i];
  return DefineArray(utf::To16(name), dimensions, wide);
}

HOST_IMPORT int STANDIN_API StandInSetElement(const char* name, int row, int column, const char* value) {
  if (name == nullptr) return -1;
  std::u16string name16 = utf::To16(name);
  int64_t indices[2] = {row, column};
  int count = ArrayDimensions(name16) == 1 ? 1 : 2;
  if (count == 1 && column != 0) return -1;
  return SetElement(name16, count, indices, utf::To16(value)) == ELEMENT_OK ? 0 : -1;
}

HOST_IMPORT void STANDIN_API StandInUndefineArray(const char* name) {
  if (name == nullptr) return;
  UndefineArray(utf::To16(name));
}

HOST_IMPORT long long STANDIN_API StandInArrayInfo(const char* name, int what) {
  if (name == nullptr) return 0;
  return ArrayInfo(utf::To16(name), what);
}

}  // extern "C"
