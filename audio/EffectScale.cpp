// The nearest-sample resampler behind the time skew: factors above 1 skip input frames,
// factors below 1 repeat them; the cursor never runs past the input it was given.
#include "audio/EffectScale.h"

#include <cmath>
#include <cstring>

namespace Tarv
{

EffectScale::EffectScale(const AudioFormat& format, const float& factor) : AudioEffect(format)
{
    SetFactor(factor);
}

void EffectScale::SetFactor(float factor)
{
    if (!std::isfinite(factor))
        factor = 1.0f;
    if (factor < 0.0f)
        factor = 0.0f;
    if (factor > MAX_FACTOR)
        factor = MAX_FACTOR;
    m_factor = factor;
}

unsigned EffectScale::GetInputSize(unsigned outBytes)
{
    m_expectedOutput = outBytes;
    const unsigned shift = GetFrameShift();
    const float frames = static_cast<float>(outBytes >> shift);
    const float needed = std::ceil(m_phase - 1.0f + frames * m_factor);
    // With a factor of 0 and a phase of 0 the formula gives -1: nothing is needed then.
    if (!(needed > 0.0f))
        return 0;
    const float limit = static_cast<float>((0xFFFFFFFFu >> shift) / 2);
    return static_cast<unsigned>(needed < limit ? needed : limit) << shift;
}

unsigned EffectScale::Process(void* buffer, unsigned requestedBytes, unsigned /*validBytes*/)
{
    if (m_factor == 1.0f || buffer == nullptr)
        return requestedBytes;

    const unsigned frameBytes = 1u << GetFrameShift();
    const unsigned samplesPerFrame = frameBytes / 2;
    const std::size_t inputSamples = requestedBytes / 2;
    if (m_copy.size() < inputSamples)
        m_copy.resize(inputSamples);
    if (inputSamples > 0)
        std::memcpy(m_copy.data(), buffer, inputSamples * 2);

    const unsigned outFrames = m_expectedOutput / frameBytes;
    if (outFrames == 0)
        return m_expectedOutput;

    const std::size_t inputFrames = requestedBytes / frameBytes;
    std::int16_t* out = static_cast<std::int16_t*>(buffer);
    std::size_t cursor = 0;
    for (unsigned i = 0; i < outFrames; ++i) {
        if (m_phase >= 1.0f) {
            const unsigned step = static_cast<unsigned>(m_phase);
            // Input shorter than asked for: hold the last frame rather than read past it.
            if (cursor < inputFrames) {
                const std::int16_t* frame = m_copy.data() + cursor * samplesPerFrame;
                m_held[0] = frame[0];
                m_held[1] = samplesPerFrame > 1 ? frame[1] : 0;
            }
            cursor += step;
            m_phase -= static_cast<float>(step);
        }
        m_phase += m_factor;
        out[i * samplesPerFrame] = m_held[0];
        if (samplesPerFrame > 1)
            out[i * samplesPerFrame + 1] = m_held[1];
    }
    return m_expectedOutput;
}

} // namespace Tarv
