#pragma once
// The vector instructions this processor has, asked once: the searches that
// use them keep a plainer path for processors without.

namespace pomurina {

// 16-byte byte shuffles (SSSE3).
inline bool ProcessorHasSsse3() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

// 32-byte integer vectors (AVX2).
inline bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

}  // namespace pomurina
