#include "zhtext/util/typed_values.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "zhtext/util/date_time.h"

namespace zhtext {

char* FormatValue(const void* value, char* out, int type) {
  switch (type) {
    case kValueInt64:
      std::snprintf(out, kValueTextSize, "%lld",
                    static_cast<long long>(LoadSlot<std::int64_t>(value)));
      break;
    case kValueDateTime: {
      const std::int64_t time = LoadSlot<std::int64_t>(value);
      FormatTime(&time, out, false);
      break;
    }
    case kValueFloat:
      std::snprintf(out, kValueTextSize, "%f", static_cast<double>(LoadSlot<float>(value)));
      break;
    case kValueDouble:
      std::snprintf(out, kValueTextSize, "%lf", LoadSlot<double>(value));
      break;
    default:
      std::snprintf(out, kValueTextSize, "%d", static_cast<int>(LoadSlot<std::int32_t>(value)));
      break;
  }
  return out;
}

void* ParseValue(const char* text, void* value, int type) {
  std::memset(value, 0, kValueSlotSize);
  if (text == nullptr) return value;
  if (*text == '"') ++text;
  if (*text == '\0') return value;
  switch (type) {
    case kValueInt64: {
      long long v = 0;
      if (std::sscanf(text, "%lld", &v) == 1) StoreSlot<std::int64_t>(value, v);
      break;
    }
    case kValueDateTime:
      StoreSlot<std::int64_t>(value, ParseDateTime(text));
      break;
    case kValueFloat: {
      float v = 0;
      if (std::sscanf(text, "%f", &v) == 1) StoreSlot(value, v);
      break;
    }
    case kValueDouble: {
      double v = 0;
      if (std::sscanf(text, "%lf", &v) == 1) StoreSlot(value, v);
      break;
    }
    default: {
      int v = 0;
      if (std::sscanf(text, "%d", &v) == 1) StoreSlot<std::int32_t>(value, v);
      break;
    }
  }
  return value;
}

int CompareTexts(const char* a, const char* b, int type) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  if (type == 2 || type == kValueInt64 || type == kValueFloat || type == kValueDouble) {
    unsigned char slotA[kValueSlotSize];
    unsigned char slotB[kValueSlotSize];
    ParseValue(a, slotA, type);
    ParseValue(b, slotB, type);
    return CompareValues(slotA, slotB, type);
  }
  const int c = std::strcmp(a, b);  // unsigned bytes
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace zhtext
