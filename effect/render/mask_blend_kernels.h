// mask_blend_kernels.h - the kernels behind MaskBlend (internal).
//
// The scalar rows are the reference. On x86-64 the SSE2 blocks (always there)
// and the AVX2 blocks (chosen once, at start-up, when the processor has them)
// give the same bytes with no branch per pixel: they compute the mix for a whole
// vector and then select, per pixel, the destination (mask 0), the source (full
// mask) or the mix.
//
// At 24 and 32 bits the SIMD blocks work byte by byte against an expanded mask
// that holds, for every byte of a pixel, the mask value that governs it: the
// pixel's mask for blue, green and red, and for the fourth byte at 32 bits 255
// when the mask is full (the source's byte is copied) and 0 otherwise (the
// destination's is kept). The byte formula with that selection is exactly the
// pixel rule.
#ifndef GYREWELL_MASK_BLEND_KERNELS_H
#define GYREWELL_MASK_BLEND_KERNELS_H

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#define GYREWELL_X86_KERNELS 1
#else
#define GYREWELL_X86_KERNELS 0
#endif

// The browser's module compiled with WebAssembly SIMD (-msimd128).
#if defined(__wasm_simd128__)
#define GYREWELL_WASM_KERNELS 1
#else
#define GYREWELL_WASM_KERNELS 0
#endif

// Scalar rows over pixels [from, to): reference, and the tails of the SIMD rows.
void Blend16Row(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k, std::int32_t from, std::int32_t to);
void BlendBytesRow(std::int32_t bytes, std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* k,
                   std::int32_t from, std::int32_t to);

// A block of height rows of width pixels; each pointer is the block's first
// byte and each stride the distance from one row to the next, in bytes. The
// scalar block is the reference and the tail of the 128-bit ones.
void BlendBlockScalar(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                      std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                      std::int32_t height);

#if GYREWELL_X86_KERNELS
bool CpuHasAvx2();
void BlendBlockSse2(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                    std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                    std::int32_t height);
void BlendBlockAvx2(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                    std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                    std::int32_t height);
#endif

#if GYREWELL_WASM_KERNELS
void BlendBlockWasm128(std::int32_t depth, std::uint8_t* d, std::ptrdiff_t dStride, const std::uint8_t* s,
                       std::ptrdiff_t sStride, const std::uint8_t* k, std::ptrdiff_t kStride, std::int32_t width,
                       std::int32_t height);
#endif

#endif
