#pragma once
// How many thread-local keys the process may still create (of
// PTHREAD_KEYS_MAX): created until refused, then deleted again. A library
// that takes one each time it is loaded shows here long before it fails.
#include <pthread.h>

#include <vector>

namespace vektest {

inline int FreeThreadKeys()
{
    std::vector<pthread_key_t> keys;
    pthread_key_t key;
    while (keys.size() < 4096 && pthread_key_create(&key, nullptr) == 0) keys.push_back(key);
    for (pthread_key_t k : keys) pthread_key_delete(k);
    return static_cast<int>(keys.size());
}

} // namespace vektest
