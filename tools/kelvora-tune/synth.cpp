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
constexpr double kick_rate = 22050.0, drum_rate = 44100.0, riser_rate_hz = 16000.0,
                 bell_rate = 22050.0, crash_rate = 22050.0, boom_rate = 22050.0;
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

// Soft saturation after scaling to a peak of 1: rounds the ensemble's tall peaks
// off so that a note plays louder for the same peak, and warms the tone a little.
std::vector<double> saturate(std::vector<double> x, double drive) {
    double peak = 1e-9;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    for (double& v : x) v = std::tanh(drive * v / peak);
    return x;
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

// Kick: a sine whose pitch falls from 160 Hz to 58 Hz (time constant 28 ms) with a
// short decay (130 ms) so that its tail does not sit on the bass; a 4 ms click of
// filtered noise on top for the beater, soft-clipped through tanh for punch.
xm::Instrument kick() {
    xm::Instrument ins{"kick"};
    auto x = frames(0.32, kick_rate);
    Noise noise(0x4b1c);
    Svf click;
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / kick_rate;
        phase += (58.0 + 102.0 * std::exp(-t / 0.028)) / kick_rate;
        const double attack = std::min(1.0, t / 0.0015);
        double v = std::sin(2 * pi * phase) * std::exp(-t / 0.13) * attack;
        click.run(noise.next(), 3500 / kick_rate, 0.3);
        if (t < 0.004) v += 0.5 * click.band * (1 - t / 0.004);
        x[i] = std::tanh(2.4 * v);
    }
    ins.sample = {"kick: 160>58 Hz sine", to_pcm(x), 0, 0, 46};
    tune_recording(ins.sample, kick_rate);
    return ins;
}

// Snare: a two-tone body (200 and 340 Hz, its pitch dropping a little, decay 70 ms)
// under white noise through a 1.5 kHz highpass and a band around 5 kHz (decay 150
// ms), saturated for crack.
xm::Instrument snare() {
    xm::Instrument ins{"snare"};
    auto x = frames(0.36, drum_rate);
    Noise noise(0x5a7e);
    Svf hp, band;
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / drum_rate;
        const double drop = 1.0 + 0.25 * std::exp(-t / 0.01);
        p1 += 200 * drop / drum_rate;
        p2 += 340 * drop / drum_rate;
        const double body = (std::sin(2 * pi * p1) + 0.6 * std::sin(2 * pi * p2)) * std::exp(-t / 0.07);
        const double n = noise.next();
        hp.run(n, 1500 / drum_rate, 0.2);
        band.run(n, 5000 / drum_rate, 0.5);
        const double hiss = (0.8 * hp.high + 0.6 * band.band) * std::exp(-t / 0.15);
        x[i] = std::tanh(3.0 * (0.7 * body + 0.9 * hiss) * std::min(1.0, t / 0.0008));
    }
    ins.sample = {"snare: body + noise", to_pcm(x), 0, 0, 64, 0, 120};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

// Metal: six square waves at the inharmonic ratios of an analogue hat, mixed with
// noise and highpassed twice at this cutoff; decay tau seconds.
std::vector<double> metal(double seconds, double tau, double cutoff_hz, uint32_t seed, double rate = drum_rate) {
    static const double ratios[6] = {1.0, 1.4836, 1.8009, 2.5469, 2.6296, 3.8979};
    auto x = frames(seconds, rate);
    Noise noise(seed);
    Svf a, b;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / rate;
        double m = 0;
        for (double r : ratios) m += std::sin(2 * pi * 410 * r * t) >= 0 ? 1.0 : -1.0;
        a.run(0.12 * m + noise.next(), cutoff_hz / rate, 0.1);
        b.run(a.high, cutoff_hz / rate, 0.1);
        x[i] = b.high * std::exp(-t / tau) * std::min(1.0, t / 0.0005);
    }
    return x;
}

xm::Instrument hat() {
    xm::Instrument ins{"hat"};
    ins.sample = {"hat: metal 25 ms", to_pcm(metal(0.1, 0.025, 7500, 0x4a7)), 0, 0, 56, 0, 150};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

xm::Instrument open_hat() {
    xm::Instrument ins{"ohat"};
    ins.sample = {"ohat: metal 160 ms", to_pcm(metal(0.45, 0.16, 6000, 0x0ba7)), 0, 0, 48, 0, 150};
    tune_recording(ins.sample, drum_rate);
    return ins;
}

xm::Instrument crash() {
    xm::Instrument ins{"crash"};
    // A long wash: a fast first decay, then a slow one.
    auto x = metal(2.4, 0.9, 3200, 0xc2a5, crash_rate);
    for (size_t i = 0; i < x.size(); ++i) x[i] *= 0.55 + 0.45 * std::exp(-double(i) / crash_rate / 0.12);
    ins.sample = {"crash: metal 900 ms", to_pcm(x), 0, 0, 60, 0, 110};
    tune_recording(ins.sample, crash_rate);
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
        lp.run(saw(phase, 60, 1.0), cutoff, 0.55);
        x[size_t(i)] = std::tanh(0.8 * lp.low);
    }
    ins.sample = {"bass: saw, closing lowpass", to_pcm(x), uint32_t(length - loop), uint32_t(loop), 50};
    pitched(ins.sample);
    ins.volume = {{{0, 64}, {10, 46}, {40, 40}}, 2};
    ins.fadeout = 0x0C00;
    return ins;
}

// Ensemble of band-limited saws over `length` frames: voices at `cycles`, cycles - d
// and cycles + d cycles of the loop (d / cycles of a semitone's twelfth root off, a
// slow beating), random phases from the seed; harmonics 1..n softened above the
// `soften`th. With pulse_mix, the third voice is partly a pulse whose duty moves from
// 0.12 to 0.45 and back over the loop.
std::vector<double> ensemble(int length, int cycles, int d, int n, uint32_t seed, double pulse_mix,
                             double soften = 8.0) {
    std::vector<double> x(size_t(length), 0.0);
    Noise noise(seed);
    const int voice_cycles[3] = {cycles, cycles - d, cycles + d};
    for (int v = 0; v < 3; ++v) {
        std::vector<double> phases(size_t(n) + 1);
        for (double& p : phases) p = noise.next();
        for (int i = 0; i < length; ++i) {
            const double ph = double(int64_t(i) * voice_cycles[v] % length) / length;
            double s = 0;
            for (int k = 1; k <= n; ++k)
                s += std::sin(2 * pi * (k * ph + phases[size_t(k)])) / k / (1.0 + (k / soften) * (k / soften));
            if (pulse_mix > 0 && v == 2) {
                const double duty = 0.285 - 0.165 * std::cos(2 * pi * i / length);
                s = (1 - pulse_mix) * s + pulse_mix * pulse(ph, duty, n);
            }
            x[size_t(i)] += s;
        }
    }
    return x;
}

// Pad: the three-saw ensemble over a 65536-frame loop (about two seconds at A-3)
// through a lowpass whose cutoff opens from the 3rd to the 9th harmonic and closes
// again once a loop, so the chord breathes; run twice round so that the filter's
// state at the loop's end meets its start. Soft attack, long release.
xm::Instrument pad() {
    xm::Instrument ins{"pad"};
    const int length = 4 * cycle * cycle;
    const auto raw = ensemble(length, 4 * cycle, 4, 24, 0x9ad, 0.0);
    std::vector<double> x(raw.size());
    Svf lp;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < length; ++i) {
            const double sweep = 0.5 - 0.5 * std::cos(2 * pi * i / length);
            const double harmonic = 3.0 * std::pow(3.0, sweep);
            lp.run(raw[size_t(i)], harmonic / cycle, 0.35);
            x[size_t(i)] = lp.low;
        }
    ins.sample = {"pad: saws, breathing lowpass", to_pcm(saturate(x, 1.6)), 0, uint32_t(length), 42};
    pitched(ins.sample);
    ins.volume = {{{0, 0}, {12, 36}, {30, 56}, {50, 64}}, 3};
    ins.fadeout = 0x0280;
    return ins;
}

// Lead: two saws and a pulse whose width sweeps, over a 32768-frame ping-pong loop;
// quick attack, a little drop to the sustain, delayed vibrato of its own.
xm::Instrument lead() {
    xm::Instrument ins{"lead"};
    auto x = ensemble(2 * cycle * cycle, 2 * cycle, 2, 28, 0x1ead, 0.7, 12.0);
    ins.sample = {"lead: saws + swept pulse", to_pcm(saturate(x, 2.0)), 0, uint32_t(x.size()), 62};
    ins.sample.pingpong = true;
    pitched(ins.sample);
    ins.volume = {{{0, 40}, {2, 64}, {10, 54}}, 2};
    ins.fadeout = 0x0600;
    ins.vibrato_type = 0;   // sine
    ins.vibrato_sweep = 0x40;
    ins.vibrato_depth = 2;
    ins.vibrato_rate = 0x0A;
    return ins;
}

// Square: a 25% pulse, the chip voice that doubles the lead in the climax.
xm::Instrument square() {
    xm::Instrument ins{"square"};
    std::vector<double> x(cycle);
    for (int i = 0; i < cycle; ++i) x[size_t(i)] = pulse(double(i) / cycle, 0.25, 20);
    ins.sample = {"square: 25% pulse", to_pcm(x), 0, uint32_t(cycle), 42};
    pitched(ins.sample);
    ins.volume = {{{0, 64}, {6, 50}, {30, 40}}, 2};
    ins.fadeout = 0x0800;
    return ins;
}

// Pluck: saw and square through a resonant lowpass closing fast from the 40th to
// the 5th harmonic, the last cycles looped under a decaying envelope: the
// counter-melody's voice.
xm::Instrument pluck() {
    xm::Instrument ins{"pluck"};
    const int length = 6144, loop = 8 * cycle;
    std::vector<double> x(length);
    Svf lp;
    for (int i = 0; i < length; ++i) {
        const double phase = double(i % cycle) / cycle;
        const double harmonic = 5.0 + 35.0 * std::exp(-i / 700.0);
        lp.run(saw(phase, 40, 1.0) + 0.5 * pulse(phase, 0.5, 40), harmonic / cycle, 0.5);
        x[size_t(i)] = lp.low;
    }
    ins.sample = {"pluck: closing lowpass", to_pcm(saturate(x, 1.6)), uint32_t(length - loop), uint32_t(loop), 56};
    pitched(ins.sample);
    ins.volume = {{{0, 64}, {8, 40}, {40, 16}, {90, 0}}, -1};
    return ins;
}

// Boom: the impact under a hit, a sine falling from 110 Hz to 42 Hz under a burst
// of noise that darkens as it dies, like a big drum in a hall.
xm::Instrument boom() {
    xm::Instrument ins{"boom"};
    auto x = frames(1.4, boom_rate);
    Noise noise(0xb00);
    Svf lp;
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double t = i / boom_rate;
        phase += (42.0 + 68.0 * std::exp(-t / 0.06)) / boom_rate;
        const double body = std::sin(2 * pi * phase) * std::exp(-t / 0.35);
        lp.run(noise.next(), (300.0 + 4000.0 * std::exp(-t / 0.08)) / boom_rate, 0.1);
        const double tail = lp.low * (0.8 * std::exp(-t / 0.03) + 0.35 * std::exp(-t / 0.5));
        x[i] = std::tanh(1.6 * (body + tail)) * std::min(1.0, t / 0.001);
    }
    ins.sample = {"boom: impact", to_pcm(x), 0, 0, 64};
    tune_recording(ins.sample, boom_rate);
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
    ins.sample = {"arp: square cycle", to_pcm(x), 0, uint32_t(cycle), 31};
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
    ins.sample = {"bell: FM 1:3.5", to_pcm(x), 0, 0, 48};
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
    ins.sample = {"riser: noise sweep", to_pcm(x), 0, 0, 42};
    tune_recording(ins.sample, riser_rate_hz);
    return ins;
}

const char* const names[] = {"kick", "snare", "hat", "ohat", "crash", "bass", "pad",
                             "lead", "arp", "bell", "riser", "square", "pluck", "boom"};

}  // namespace

std::vector<xm::Instrument> build_instruments() {
    return {kick(), snare(), hat(), open_hat(), crash(), bass(), pad(),
            lead(), arp(), bell(), riser(), square(), pluck(), boom()};
}

int instrument_index(const std::string& name) {
    for (int i = 0; i < int(sizeof names / sizeof names[0]); ++i)
        if (name == names[i]) return i;
    return -1;
}

double riser_seconds() { return riser_length; }
double riser_rate() { return riser_rate_hz; }

}  // namespace tune
