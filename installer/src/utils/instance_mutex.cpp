#include "utils/instance_mutex.h"

#include "utils/text.h"

namespace Utils {

void InstanceMutex::Acquire() {
    if (!lock_.held()) {
        lock_.Acquire(ToNarrow(L"D1A547DB89C0BC61_" + name_, kCodePageUtf8));
    }
}

}  // namespace Utils
