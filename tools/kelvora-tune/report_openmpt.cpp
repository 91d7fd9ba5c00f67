// The report's rendering and measuring, on libopenmpt and libebur128; see report.h.
// The player is set up as the show sets it up (no dither, one pass through the song).
#include <ebur128.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "playtime.h"
#include "report.h"

namespace tune {

namespace {

// Frames per read: a row change is seen within this many frames of where it falls.
constexpr size_t block_frames = 8;

struct Rendered {
    std::vector<float> stereo;  // interleaved; only kept when asked for
    int64_t frames = 0;
    std::vector<int64_t> row_seen;  // per entry of the marks: the first frame of the block that reached it
};

struct Mark {
    std::string label;
    int order, row;
    double at_s;  // < 0: no time to keep
};

// Renders the whole song at rate, noting the block in which each mark's row began.
bool render(const xm::Module& module, int rate, bool keep, const std::vector<Mark>& marks, Rendered* out,
            std::string* error) {
    const std::vector<uint8_t> bytes = xm::write(module);
    int load_error = 0;
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                             nullptr, openmpt_error_func_store, nullptr,
                                                             &load_error, nullptr, nullptr);
    if (!mod) {
        *error = "the player refuses the module (error " + std::to_string(load_error) + ")";
        return false;
    }
    openmpt_module_set_repeat_count(mod, 0);
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    out->row_seen.assign(marks.size(), -1);
    float buffer[block_frames * 2];
    for (;;) {
        const size_t got = openmpt_module_read_interleaved_float_stereo(mod, rate, block_frames, buffer);
        if (got == 0) break;
        const int order = openmpt_module_get_current_order(mod), row = openmpt_module_get_current_row(mod);
        for (size_t i = 0; i < marks.size(); ++i)
            if (out->row_seen[i] < 0 && marks[i].order == order && marks[i].row == row)
                out->row_seen[i] = out->frames;
        if (keep) out->stereo.insert(out->stereo.end(), buffer, buffer + got * 2);
        out->frames += int64_t(got);
        if (got < block_frames) break;
    }
    openmpt_module_destroy(mod);
    return true;
}

using Meter = std::unique_ptr<ebur128_state, void (*)(ebur128_state*)>;

Meter meter(int rate, int mode) {
    return Meter(ebur128_init(2, unsigned(rate), mode), [](ebur128_state* s) { ebur128_destroy(&s); });
}

// Gated integrated loudness of frames [first, last) of a stereo render; -inf when silent.
double loudness(const std::vector<float>& stereo, int rate, int64_t first, int64_t last) {
    first = std::clamp<int64_t>(first, 0, int64_t(stereo.size() / 2));
    last = std::clamp<int64_t>(last, first, int64_t(stereo.size() / 2));
    if (last - first < rate / 2) return -HUGE_VAL;
    Meter m = meter(rate, EBUR128_MODE_I);
    ebur128_add_frames_float(m.get(), stereo.data() + 2 * first, size_t(last - first));
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(m.get(), &lufs);
    return lufs;
}

std::string figure(double v, const char* format) {
    if (!std::isfinite(v)) return "-";
    char text[32];
    snprintf(text, sizeof text, format, v);
    return text;
}

}  // namespace

bool print_report(const xm::Module& module, const std::vector<SectionTiming>& sections, FILE* out,
                  std::string* error) {
    constexpr int rate = 44100;
    std::vector<Mark> marks;
    for (const SectionTiming& s : sections) {
        marks.push_back({s.name, s.first_order, 0, s.start_s});
        for (const Hit& h : s.hits) marks.push_back({s.name + " hit", h.order, h.row, h.at_s});
    }

    // The mix, and the lead's and the pad's channels alone, at the show's default rate.
    Rendered mix, lead, pad;
    if (!render(module, rate, true, marks, &mix, error) ||
        !render(keep_channels(module, lead_channels()), rate, true, {}, &lead, error) ||
        !render(keep_channels(module, pad_channels()), rate, true, {}, &pad, error))
        return false;

    Meter whole = meter(rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_float(whole.get(), mix.stereo.data(), size_t(mix.frames));
    double integrated = 0, range = 0, peak = 0;
    ebur128_loudness_global(whole.get(), &integrated);
    ebur128_loudness_range(whole.get(), &range);
    for (unsigned c = 0; c < 2; ++c) {
        double p = 0;
        ebur128_true_peak(whole.get(), c, &p);
        peak = std::max(peak, p);
    }
    int64_t clipped = 0;
    for (float v : mix.stereo) clipped += std::fabs(v) >= 1.0f;
    const ExpressionCount expression = count_expression(module);

    fprintf(out, "kelvora-tune report: rendered by libopenmpt %s at %d Hz\n",
            openmpt_get_string("library_version"), rate);
    fprintf(out, "  integrated loudness  %7.1f LUFS\n", integrated);
    fprintf(out, "  loudness range       %7.1f LU\n", range);
    fprintf(out, "  true peak            %7.1f dBTP\n", 20 * std::log10(std::max(peak, 1e-9)));
    fprintf(out, "  clipped samples      %7lld\n", static_cast<long long>(clipped));
    fprintf(out, "  expression commands  %7.1f per 100 rows (%lld in %lld rows)\n",
            expression.rows ? 100.0 * double(expression.commands) / double(expression.rows) : 0.0,
            static_cast<long long>(expression.commands), static_cast<long long>(expression.rows));
    fprintf(out, "  song ends at        ");
    std::vector<Rendered> at_rate(4);
    for (int k = 0; k < 4; ++k) {
        if (mix_rates[k] == rate) {
            at_rate[size_t(k)] = mix;
            at_rate[size_t(k)].stereo.clear();
        } else if (!render(module, mix_rates[k], false, marks, &at_rate[size_t(k)], error)) {
            return false;
        }
        fprintf(out, " %8.3f s (%d)", double(at_rate[size_t(k)].frames) / mix_rates[k], mix_rates[k]);
    }
    fprintf(out, "\n\n");

    // Per section: its loudness, and the lead over the pad where both play.
    fprintf(out, "  %-10s %9s %8s %9s\n", "section", "starts", "LUFS", "lead-pad");
    const std::vector<RowStart> starts = row_starts(module, rate);
    double theme = -HUGE_VAL, climax = -HUGE_VAL, theme_lead = -HUGE_VAL;
    for (size_t i = 0; i < sections.size(); ++i) {
        const int64_t first = frame_of(starts, sections[i].first_order, 0);
        const int64_t last = i + 1 < sections.size() ? frame_of(starts, sections[i + 1].first_order, 0)
                                                     : starts.back().frame;
        const double level = loudness(mix.stereo, rate, first, last);
        const double lead_over_pad =
            loudness(lead.stereo, rate, first, last) - loudness(pad.stereo, rate, first, last);
        if (sections[i].name == "theme") theme = level, theme_lead = lead_over_pad;
        if (sections[i].name == "climax") climax = level;
        fprintf(out, "  %-10s %8.3fs %8s %9s\n", sections[i].name.c_str(), double(first) / rate,
                figure(level, "%.1f").c_str(), figure(lead_over_pad, "%+.1f").c_str());
    }
    fprintf(out, "  climax over theme %s LU; lead over pad in the theme %s LU\n\n",
            figure(climax - theme, "%+.1f").c_str(), figure(theme_lead, "%+.1f").c_str());

    // Timing: where each mark's row began, against its time, in milliseconds. The
    // rendered figure is good to one read block; the computed one is exact.
    fprintf(out, "  %-16s %9s", "starts vs time", "time");
    for (int r : mix_rates) fprintf(out, " %9d", r);
    fprintf(out, "   (ms late, rendered; largest miss of the computed frame)\n");
    std::vector<std::vector<RowStart>> computed_starts;
    for (int r : mix_rates) computed_starts.push_back(row_starts(module, r));
    for (size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].at_s < 0) continue;
        fprintf(out, "  %-16s %8.3fs", marks[i].label.c_str(), marks[i].at_s);
        int64_t disagree = 0;
        for (int k = 0; k < 4; ++k) {
            const int r = mix_rates[k];
            const int64_t seen = at_rate[size_t(k)].row_seen[i];
            const int64_t computed = frame_of(computed_starts[size_t(k)], marks[i].order, marks[i].row);
            if (seen < 0) {
                fprintf(out, " %9s", "never");
                continue;
            }
            fprintf(out, " %+9.1f", (double(seen) / r - marks[i].at_s) * 1000.0);
            disagree = std::max<int64_t>(disagree, computed > seen ? computed - seen : seen - computed);
        }
        fprintf(out, "   %lld\n", static_cast<long long>(disagree));
    }
    return true;
}

}  // namespace tune
