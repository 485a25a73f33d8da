// The bit level of Shorten streams: bits go most significant first; an unsigned value v with
// k low bits is (v >> k) zero bits, a one bit, then the k low bits of v; a signed value is
// folded as (v << 1) ^ (v >> 31) and written with k + 1 low bits; a "long" is first its bit
// count with 2 low bits, then the value with that many.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vumo::cab
{

class BitWriter
{
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}

    // Appends the n low bits of bits, 0 <= n <= 32.
    void put(uint32_t bits, int n)
    {
        if (n == 0)
            return;
        m_acc = (m_acc << n) | (bits & (n == 32 ? ~0u : ((1u << n) - 1)));
        m_count += n;
        if (m_count >= 32)
        {
            m_count -= 32;
            const uint32_t word = uint32_t(m_acc >> m_count);
            m_out.push_back(uint8_t(word >> 24));
            m_out.push_back(uint8_t(word >> 16));
            m_out.push_back(uint8_t(word >> 8));
            m_out.push_back(uint8_t(word));
        }
    }

    void putUnsigned(uint32_t value, int k)
    {
        uint32_t zeros = k >= 32 ? 0 : value >> k;
        const uint32_t low = k >= 32 ? value : value & ((1u << k) - 1);
        if (zeros + uint32_t(k) < 32)
        {
            put((1u << k) | low, int(zeros) + k + 1);
            return;
        }
        for (; zeros >= 32; zeros -= 32)
            put(0, 32);
        put(0, int(zeros));
        put(1, 1);
        put(low, k);
    }

    void putLong(uint32_t value)
    {
        const int bits = value == 0 ? 0 : std::bit_width(value);
        putUnsigned(uint32_t(bits), 2);
        putUnsigned(value, bits);
    }

    // Pads the last byte with zero bits.
    void flush()
    {
        while (m_count >= 8)
        {
            m_count -= 8;
            m_out.push_back(uint8_t(m_acc >> m_count));
        }
        if (m_count > 0)
            m_out.push_back(uint8_t(m_acc << (8 - m_count)));
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint64_t m_acc = 0;
    int m_count = 0; // bits in m_acc not yet written, below 32 between calls
};

// Reads a stream of the same coding. Reading past the end, or a value that does not fit in
// 32 bits, sets failed() and yields 0 from then on. A run of zero bits is only as long as the
// stream, so the work stays linear in the stream's size whatever it holds.
class BitReader
{
public:
    explicit BitReader(std::span<const uint8_t> data) : m_data(data) {}

    bool failed() const { return m_failed; }
    size_t bytesRead() const { return m_next - size_t(m_cacheBits / 8); }

    // The next n bits, n in 0..32.
    uint32_t get(int n)
    {
        if (n == 0)
            return 0;
        if (m_cacheBits < n)
            refill();
        if (m_cacheBits < n)
            return fail();
        const uint32_t v = uint32_t(m_cache >> (64 - n));
        m_cache <<= n;
        m_cacheBits -= n;
        return v;
    }

    uint32_t getUnsigned(int k)
    {
        if (k < 0 || k > 32)
            return fail();
        const uint64_t maxZeros = uint64_t(UINT32_MAX) >> k;
        uint64_t zeros = 0;
        for (;;)
        {
            if (m_cacheBits == 0)
                refill();
            if (m_cacheBits == 0)
                return fail();
            if (m_cache == 0) // every cached bit is zero
            {
                zeros += uint64_t(m_cacheBits);
                m_cacheBits = 0;
            }
            else
            {
                const int lead = std::countl_zero(m_cache);
                zeros += uint64_t(lead);
                m_cache <<= lead;
                m_cache <<= 1;
                m_cacheBits -= lead + 1;
                break;
            }
            if (zeros > maxZeros)
                return fail();
        }
        if (zeros > maxZeros)
            return fail();
        return uint32_t((zeros << k) | get(k));
    }

    int32_t getSigned(int k)
    {
        const uint32_t u = getUnsigned(k + 1);
        return int32_t(u >> 1) ^ -int32_t(u & 1);
    }

    uint32_t getLong()
    {
        const uint32_t bits = getUnsigned(2);
        return bits > 32 ? fail() : getUnsigned(int(bits));
    }

private:
    void refill()
    {
        while (m_cacheBits <= 56 && m_next < m_data.size())
        {
            m_cache |= uint64_t(m_data[m_next++]) << (56 - m_cacheBits);
            m_cacheBits += 8;
        }
    }

    uint32_t fail()
    {
        m_failed = true;
        m_next = m_data.size();
        m_cache = 0;
        m_cacheBits = 0;
        return 0;
    }

    std::span<const uint8_t> m_data;
    size_t m_next = 0;    // next byte to cache
    uint64_t m_cache = 0; // the next bits, most significant first
    int m_cacheBits = 0;
    bool m_failed = false;
};

} // namespace vumo::cab
