// VUMO_FX_CLONES: the effects' hot loops are built for AVX-512, for AVX2 and for any x86-64,
// and the loader picks the build that the processor runs.
#pragma once

// Floating-point contraction is off for the effects (fx.cmake, spectral.cmake), so every build
// rounds alike and the results agree to the bit. ThreadSanitizer cannot run the resolver that
// picks the build (it runs before the sanitizer starts), and Windows has no resolver at all,
// so those builds keep one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_THREAD__) && !defined(_WIN32)
#define VUMO_FX_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VUMO_FX_CLONES
#endif
