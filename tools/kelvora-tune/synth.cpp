// The instrument recipes; see synth.h.
//
// Pitched instruments are built on a 128-frame cycle: played with relative note +24
// (so at 4 x 8363 Hz for C-4) such a cycle sounds at 8363 / 32 = 261.3 Hz, C-4, so
// every note name in the score sounds at its own pitch. Ensembles of detuned
// oscillators loop over 128 cycles, with the detuned voices running 127 and 129
// cycles in that loop (about 13.5 cents off), so the loop is seamless. Drums and
// effects are one-shot recordings at a fixed rate, played at C-4.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tune {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int cycle = 128;          // frames per cycle of a pitched sample
constexpr double c4_rate = 8363.0;  // XM's playback rate for C-4 without transposition
constexpr double c4_hz = c4_rate / 32.0;
constexpr double kick_rate = 22050.0, drum_rate = 44100.0, riser_rate_hz = 22050.0,
                 bell_rate = 22050.0;
constexpr double riser_length = 3.9;

// A small deterministic noise source (xorshift32), one per recipe.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed) {}
    double next() {  // -1..1
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

// The zero-delay state-variable filter: lowpass, bandpass and highpass at once;
// stable for any cutoff below half the rate. cutoff in cycles per frame.
struct Svf {
    double ic1 = 0, ic2 = 0, low = 0, band = 0, high = 0;
    void run(double in, double cutoff, double resonance) {
        const double g = std::tan(pi * std::min(cutoff, 0.49));
        const double k = 2.0 - 2.0 * resonance;
        const double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        const double v3 = in - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        low = v2;
        band = v1;
        high = in - k * v1 - v2;
    }
};

// Band-limited sawtooth at phase (in cycles), harmonics 1..n falling as 1/k^slope.
double saw(double phase, int n, double slope) {
    double s = 0;
    for (int k = 1; k <= n; ++k) s += std::sin(2 * pi * k * phase) / std::pow(k, slope);
    return s;
}

// Band-limited pulse of this duty (0..1), harmonics 1..n.
double pulse(double phase, double duty, int n) {
    double s = 0;
    for (int k = 1; k <= n; ++k)
        s += std::sin(pi * k * duty) / k * std::cos(2 * pi * k * (phase - duty / 2));
    return s;
}

// Scales to a peak of 0.95 of full scale and rounds to 16 bits.
std::vector<int16_t> to_pcm(const std::vector<double>& x) {
    double peak = 1e-9;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i) out[i] = int16_t(std::lround(x[i] / peak * 0.95 * 32767.0));
    return out;
}

// Relative note and finetune that play a recording made at rate as-is at C-4.
void tune_recording(xm::Sample& s, double rate) {
    const double semis = 12.0 * std::log2(rate / c4_rate);
    int note = int(std::floor(semis));
    int fine = int(std::lround((semis - note) * 128.0));
    if (fine >= 64) {  // finetune is signed: round up to the next note instead
        ++note;
        fine -= 128;
    }
    s.relative_note = int8_t(note);
    s.finetune = int8_t(fine);
}

void pitched(xm::Sample& s) { s.relative_note = 24; }  // 128-frame cycle, see above

std::vector<double> frames(double seconds, double rate) {
    return std::vector<double>(size_t(seconds * rate), 0.0);
}

// Kick: a sine whose pitch falls from 170 Hz to 48 Hz (time constant 35 ms), decay
// 180 ms, a 3 ms noise click on top, soft-clipped through tanh for weight.
xm::Instrument kick() {
    xm::Instrument ins{"kick"};
    auto x = frames(0.45, kick_rate);
    Noise noise(0x4b1c);
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / kick_rate;
        phase += (48.0 + 122.0 * std::exp(-t / 0.035)) / kick_rate;
        const double attack = std::min(1.0, t / 0.002);
        double v = std::sin(2 * pi * phase) * std::exp(-t / 0.18) * attack;
        if (t < 0.003) v += 0.35 * noise.next() * (1 - t / 0.003);
        x[i] = std::tanh(1.8 * v);
    }
    ins.sample = {"kick: 170>48 Hz sine", to_pcm(x), 0, 0, 64};
    tune_recording(ins.sample, kick_rate);
    return ins;
}

// Snare: a two-tone body (185 and 330 Hz, decay 60 ms) under white noise through a
// 1.8 kHz highpass (decay 95 ms), lightly saturated.
xm::Instrument snare() {
    xm::Instrument ins{"snare"};
    auto x = frames(0.3, drum_rate);
    Noise noise(0x5a7e);
    Svf hp;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / drum_rate;
        const double body = (std::sin(2 * pi * 185 * t) + 0.5 * std::sin(2 * pi * 330 * t)) *
                            std::exp(-t / 0.06);
        hp.run(noise.next(), 1800 / drum_rate, 0.2);
        const double hiss = hp.high * std::exp(-t / 0.095);
        x[i] = std::tanh(1.4 * (0.55 * body + 0.9 * hiss));
    }
    ins.sample = {"snare: body + noise", to_pcm(x), 0, 0, 50, 0, 120};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

// Metal: six square waves at the inharmonic ratios of an analogue hat, mixed with
// noise and highpassed twice at this cutoff; decay tau seconds.
std::vector<double> metal(double seconds, double tau, double cutoff_hz, uint32_t seed) {
    static const double ratios[6] = {1.0, 1.4836, 1.8009, 2.5469, 2.6296, 3.8979};
    auto x = frames(seconds, drum_rate);
    Noise noise(seed);
    Svf a, b;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / drum_rate;
        double m = 0;
        for (double r : ratios) m += std::sin(2 * pi * 410 * r * t) >= 0 ? 1.0 : -1.0;
        a.run(0.12 * m + noise.next(), cutoff_hz / drum_rate, 0.1);
        b.run(a.high, cutoff_hz / drum_rate, 0.1);
        x[i] = b.high * std::exp(-t / tau) * std::min(1.0, t / 0.0005);
    }
    return x;
}

xm::Instrument hat() {
    xm::Instrument ins{"hat"};
    ins.sample = {"hat: metal 18 ms", to_pcm(metal(0.08, 0.018, 7000, 0x4a7)), 0, 0, 30, 0, 150};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

xm::Instrument open_hat() {
    xm::Instrument ins{"ohat"};
    ins.sample = {"ohat: metal 120 ms", to_pcm(metal(0.4, 0.12, 6500, 0x0ba7)), 0, 0, 24, 0, 150};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

xm::Instrument crash() {
    xm::Instrument ins{"crash"};
    ins.sample = {"crash: metal 450 ms", to_pcm(metal(1.6, 0.45, 3800, 0xc2a5)), 0, 0, 34, 0, 110};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

// Bass: a bright sawtooth through a resonant lowpass that closes from 0.3 to 0.05
// of the rate over 1200 frames (a pluck that follows the key), then holds; the
// last 8 cycles, once the filter has settled, loop.
xm::Instrument bass() {
    xm::Instrument ins{"bass"};
    const int length = 4096, loop = 8 * cycle;
    std::vector<double> x(length);
    Svf lp;
    for (int i = 0; i < length; ++i) {
        const double sweep = std::min(1.0, i / 1200.0);
        const double cutoff = 0.3 * std::pow(0.05 / 0.3, sweep);
        const double phase = double(i % cycle) / cycle;
        lp.run(saw(phase, 60, 1.0) + 0.4 * std::sin(2 * pi * phase), cutoff, 0.55);
        x[size_t(i)] = std::tanh(0.8 * lp.low);
    }
    ins.sample = {"bass: saw, closing lowpass", to_pcm(x), uint32_t(length - loop), uint32_t(loop), 54};
    pitched(ins.sample);
    ins.volume = {{{0, 64}, {10, 46}, {40, 40}}, 2};
    ins.fadeout = 0x0C00;
    return ins;
}

// Ensemble of band-limited saws: voices at 128, 127 and 129 cycles per 16384-frame
// loop, random phases from the seed; harmonics 1..n softened above the eighth.
std::vector<double> ensemble(int n, uint32_t seed, double pulse_mix) {
    const int length = cycle * cycle;
    std::vector<double> x(size_t(length), 0.0);
    Noise noise(seed);
    const int cycles[3] = {cycle, cycle - 1, cycle + 1};
    for (int v = 0; v < 3; ++v) {
        std::vector<double> phases(size_t(n) + 1);
        for (double& p : phases) p = noise.next();
        for (int i = 0; i < length; ++i) {
            const double ph = double(int64_t(i) * cycles[v] % length) / length;
            double s = 0;
            for (int k = 1; k <= n; ++k)
                s += std::sin(2 * pi * (k * ph + phases[size_t(k)])) / k / (1.0 + (k / 8.0) * (k / 8.0));
            if (pulse_mix > 0 && v == 2) s = (1 - pulse_mix) * s + pulse_mix * pulse(ph, 0.25, n);
            x[size_t(i)] += s;
        }
    }
    return x;
}

// Pad: the three-saw ensemble, 0.5 s swell, long release.
xm::Instrument pad() {
    xm::Instrument ins{"pad"};
    ins.sample = {"pad: 3 detuned saws", to_pcm(ensemble(32, 0x9ad, 0.0)), 0, uint32_t(cycle * cycle), 26};
    pitched(ins.sample);
    ins.volume = {{{0, 0}, {10, 40}, {25, 58}, {45, 64}}, 3};
    ins.fadeout = 0x0300;
    return ins;
}

// Lead: the ensemble with one voice a 25% pulse, brighter harmonics, quick attack,
// delayed vibrato.
xm::Instrument lead() {
    xm::Instrument ins{"lead"};
    auto x = ensemble(24, 0x1ead, 0.6);
    ins.sample = {"lead: saws + pulse", to_pcm(x), 0, uint32_t(cycle * cycle), 40};
    pitched(ins.sample);
    ins.volume = {{{0, 48}, {2, 64}, {12, 52}}, 2};
    ins.fadeout = 0x0700;
    ins.vibrato_type = 0;   // sine
    ins.vibrato_sweep = 0x30;
    ins.vibrato_depth = 3;
    ins.vibrato_rate = 0x0C;
    return ins;
}

// Arp: one cycle of a square wave with a little saw mixed in, plucked by the
// envelope.
xm::Instrument arp() {
    xm::Instrument ins{"arp"};
    std::vector<double> x(cycle);
    for (int i = 0; i < cycle; ++i) {
        const double ph = double(i) / cycle;
        x[size_t(i)] = pulse(ph, 0.5, 15) + 0.3 * saw(ph, 15, 1.0);
    }
    ins.sample = {"arp: square cycle", to_pcm(x), 0, uint32_t(cycle), 22};
    pitched(ins.sample);
    ins.volume = {{{0, 64}, {4, 44}, {14, 14}, {30, 0}}, -1};
    return ins;
}

// Bell: two-operator FM, modulator at 3.5 times the carrier, index falling from 3.5
// to 0.5, decay 0.6 s.
xm::Instrument bell() {
    xm::Instrument ins{"bell"};
    auto x = frames(2.0, bell_rate);
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / bell_rate;
        const double index = 0.5 + 3.0 * std::exp(-t / 0.15);
        x[i] = std::sin(2 * pi * c4_hz * t + index * std::sin(2 * pi * 3.5 * c4_hz * t)) *
               std::exp(-t / 0.6) * std::min(1.0, t / 0.002);
    }
    ins.sample = {"bell: FM 1:3.5", to_pcm(x), 0, 0, 34};
    tune_recording(ins.sample, bell_rate);
    ins.fadeout = 0x0400;
    return ins;
}

// Riser: white noise through a resonant bandpass sweeping from 250 Hz to 9 kHz,
// getting louder as the square of time.
xm::Instrument riser() {
    xm::Instrument ins{"riser"};
    auto x = frames(riser_length, riser_rate_hz);
    Noise noise(0x215e);
    Svf bp;
    for (size_t i = 0; i < x.size(); ++i) {
        const double u = i / double(x.size());
        bp.run(noise.next(), 250.0 * std::pow(9000.0 / 250.0, u) / riser_rate_hz, 0.7);
        x[i] = bp.band * u * u;
    }
    ins.sample = {"riser: noise sweep", to_pcm(x), 0, 0, 30};
    tune_recording(ins.sample, riser_rate_hz);
    return ins;
}

const char* const names[] = {"kick", "snare", "hat", "ohat", "crash", "bass",
                             "pad", "lead", "arp", "bell", "riser"};

}  // namespace

std::vector<xm::Instrument> build_instruments() {
    return {kick(), snare(), hat(), open_hat(), crash(), bass(), pad(), lead(), arp(), bell(), riser()};
}

int instrument_index(const std::string& name) {
    for (int i = 0; i < int(sizeof names / sizeof names[0]); ++i)
        if (name == names[i]) return i;
    return -1;
}

double riser_seconds() { return riser_length; }
double riser_rate() { return riser_rate_hz; }

}  // namespace tune
