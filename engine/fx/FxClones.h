// VUMO_FX_CLONES: the effects' hot loops are built for AVX-512, for AVX2 and for any x86-64,
// and the loader picks the build that the processor runs. Where VUMO_FX_VERSIONS is 1, a
// function may instead come in one version per processor, each with its own body, declared
// with VUMO_FX_FOR_AVX512, VUMO_FX_FOR_AVX2 and VUMO_FX_FOR_ANY.
#pragma once

// Floating-point contraction is off for the effects (fx.cmake, spectral.cmake), so every build
// rounds alike and the results agree to the bit. ThreadSanitizer cannot run the resolver that
// picks the build (it runs before the sanitizer starts), and Windows has no resolver at all
// (the loops declared with VUMO_FX_KERNEL, below, pick theirs themselves there), so those
// builds keep one; so does a build with VUMO_FX_ONE_BUILD defined, which is how the
// plain x86-64 loops are checked against the others on a processor that would not pick them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_THREAD__) && !defined(_WIN32) && !defined(VUMO_FX_ONE_BUILD)
#define VUMO_FX_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#define VUMO_FX_VERSIONS 1
#define VUMO_FX_FOR_AVX512 __attribute__((target("arch=x86-64-v4")))
#define VUMO_FX_FOR_AVX2 __attribute__((target("avx2")))
#define VUMO_FX_FOR_ANY __attribute__((target("default")))
#else
#define VUMO_FX_CLONES
#define VUMO_FX_VERSIONS 0
#endif

// void VUMO_FX_KERNEL(name)(parameters) { body } VUMO_FX_DISPATCH(name): a loop of an anonymous
// namespace built per processor. Where the loader picks builds, it is a VUMO_FX_CLONES function.
// A Windows executable has no such resolver, so there the body is inlined into a build for
// AVX2 and one for any x86-64, and name() calls the one the processor runs, asked once.
#if defined(_WIN32) && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&          \
    !defined(VUMO_FX_ONE_BUILD)
namespace wavorn::fx
{
inline bool processorHasAvx2()
{
    static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
    return avx2;
}
} // namespace wavorn::fx
#define VUMO_FX_KERNEL(name) __attribute__((always_inline)) inline name##Body
#define VUMO_FX_DISPATCH(name)                                                                     \
    template <class... A> [[gnu::target("avx2")]] void name##Avx2(A... a)                          \
    {                                                                                              \
        name##Body(a...);                                                                          \
    }                                                                                              \
    template <class... A> void name##Any(A... a)                                                   \
    {                                                                                              \
        name##Body(a...);                                                                          \
    }                                                                                              \
    template <class... A> void name(A... a)                                                        \
    {                                                                                              \
        (::wavorn::fx::processorHasAvx2() ? name##Avx2<A...> : name##Any<A...>)(a...);             \
    }
#else
#define VUMO_FX_KERNEL(name) VUMO_FX_CLONES name
#define VUMO_FX_DISPATCH(name)
#endif
