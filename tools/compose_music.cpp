// The race music: composes one of four pieces from its constants below and a
// seed, and writes it as Ogg Vorbis. Voices: a pad of detuned saws, a filtered
// bass, a pulse-wave lead, a triangle arpeggio; a beat of kick, snare and hats.
// The same arguments give the same file, byte for byte.
//   compose_music A|B|C|D out.ogg [seconds]   (seconds: cut short, for tests)
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/random.h"

namespace {

constexpr int kRate = 44100;
constexpr float kQuality = 0.2f;
constexpr int kStepsPerBar = 16;
constexpr double kPi = 3.14159265358979323846;
constexpr int kNoiseLength = 1 << 16;

struct PieceStyle {
    char name;
    int seed;
    double bpm;
    int root;                   // MIDI note of the key's tonic
    int scale[7];               // semitones above the tonic
    int chords[8];              // scale degree of each bar's chord, looped
    const char* kick;           // one bar of sixteenth steps, 'x' strikes
    const char* snare;
    const char* hats;
    const char* bass;
    double lead_duty;           // pulse width of the lead
};

const PieceStyle kPieces[] = {
    {'A', 1201, 124, 57, {0, 2, 3, 5, 7, 8, 10}, {0, 5, 2, 6, 0, 5, 3, 4},
     "x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.x.", "x..x..x.x..x..x.", 0.30},
    {'B', 2203, 138, 52, {0, 2, 4, 5, 7, 9, 11}, {0, 4, 5, 3, 0, 4, 3, 4},
     "x.....x...x.....", "....x.......x..x", "xxx.xxx.xxx.xxx.", "x.xx..x.x.xx..x.", 0.50},
    {'C', 3307, 112, 55, {0, 2, 3, 5, 7, 9, 10}, {0, 3, 0, 6, 0, 3, 4, 6},
     "x..x......x.....", "....x.......x...", "..x...x...x...x.", "x...x.x...x...xx", 0.20},
    {'D', 4409, 150, 50, {0, 1, 3, 5, 7, 8, 10}, {0, 6, 5, 6, 0, 6, 5, 4},
     "x...x...x...x.x.", "....x..x....x...", "x.xxx.xxx.xxx.xx", "xx.xx.x.xx.xx.x.", 0.40},
};

// Bars of each section, and which voices play in it.
struct Section {
    int bars;
    bool pad, bass, lead, arpeggio, kick, snare, hats;
};

const Section kForm[] = {
    {4, true, false, false, false, false, false, true},
    {8, true, true, true, false, true, true, true},
    {8, true, true, false, true, true, false, true},
    {8, true, true, true, true, true, true, true},
    {4, true, true, false, true, false, false, true},
};

double note_hz(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A stereo float track that voices add notes to.
struct Track {
    std::vector<float> left, right;
    explicit Track(size_t frames) : left(frames), right(frames) {}
    void add(size_t at, float value, float pan)
    {
        if (at >= left.size()) return;
        left[at] += value * (1 - pan);
        right[at] += value * (1 + pan);
    }
};

std::vector<float> make_noise()
{
    std::vector<float> noise(kNoiseLength);
    for (float& sample : noise) sample = float(__mRandom_rand()) / 16383.5f - 1.0f;
    return noise;
}

struct Composer {
    const PieceStyle& style;
    Track& track;
    const std::vector<float>& noise;
    double step_seconds;

    size_t frame_of(double seconds) const { return size_t(seconds * kRate); }

    int degree_note(int degree, int octave) const
    {
        const int wrapped = ((degree % 7) + 7) % 7;
        const int octaves = (degree - wrapped) / 7;
        return style.root + 12 * (octave + octaves) + style.scale[wrapped];
    }

    void pad(double start, double length, int chord_degree)
    {
        const size_t from = frame_of(start), count = frame_of(length);
        for (int tone = 0; tone < 3; ++tone) {
            const double hz = note_hz(degree_note(chord_degree + 2 * tone, 0));
            for (int detune = -1; detune <= 1; detune += 2) {
                const double step = hz * (1 + 0.003 * detune) / kRate;
                double phase = 0.25 * tone;
                for (size_t i = 0; i < count; ++i, phase += step) {
                    const double t = double(i) / count;
                    const double envelope = std::min(1.0, t * 6) * std::min(1.0, (1 - t) * 6);
                    const double saw = 2 * (phase - std::floor(phase)) - 1;
                    track.add(from + i, float(0.035 * envelope * saw), 0.4f * detune);
                }
            }
        }
    }

    void bass(double start, double length, int note)
    {
        const size_t from = frame_of(start), count = frame_of(length);
        const double step = note_hz(note) / kRate;
        double phase = 0, low = 0;
        for (size_t i = 0; i < count; ++i, phase += step) {
            const double saw = 2 * (phase - std::floor(phase)) - 1;
            const double cutoff = 0.02 + 0.25 * std::exp(-8.0 * i / count);
            low += cutoff * (saw - low);
            const double envelope = std::exp(-2.5 * i / count) * std::min(1.0, (count - i) / 200.0);
            track.add(from + i, float(0.30 * envelope * low), 0);
        }
    }

    void lead(double start, double length, int note)
    {
        const size_t from = frame_of(start), count = frame_of(length);
        const double hz = note_hz(note);
        double phase = 0;
        for (size_t i = 0; i < count; ++i) {
            const double seconds = double(i) / kRate;
            phase += hz * (1 + 0.004 * std::sin(2 * kPi * 5.5 * seconds)) / kRate;
            const double pulse = (phase - std::floor(phase)) < style.lead_duty ? 1.0 : -1.0;
            const double envelope = std::min(1.0, i / 150.0) * std::exp(-1.5 * i / count) *
                                    std::min(1.0, (count - i) / 300.0);
            track.add(from + i, float(0.07 * envelope * pulse), -0.25f);
        }
    }

    void arpeggio(double start, double length, int note)
    {
        const size_t from = frame_of(start), count = frame_of(length);
        const double step = note_hz(note) / kRate;
        double phase = 0;
        for (size_t i = 0; i < count; ++i, phase += step) {
            const double triangle = 4 * std::fabs(phase - std::floor(phase + 0.5)) - 1;
            const double envelope = std::exp(-5.0 * i / count) * std::min(1.0, (count - i) / 100.0);
            track.add(from + i, float(0.08 * envelope * triangle), 0.35f);
        }
    }

    void kick(double start)
    {
        const size_t from = frame_of(start), count = frame_of(0.3);
        double phase = 0;
        for (size_t i = 0; i < count; ++i) {
            const double seconds = double(i) / kRate;
            phase += (45 + 110 * std::exp(-seconds * 30)) / kRate;
            track.add(from + i, float(0.45 * std::exp(-seconds * 9) * std::sin(2 * kPi * phase)), 0);
        }
    }

    void snare(double start)
    {
        const size_t from = frame_of(start), count = frame_of(0.2);
        const size_t offset = from % kNoiseLength;
        for (size_t i = 0; i < count; ++i) {
            const double seconds = double(i) / kRate;
            const double tone = std::sin(2 * kPi * 185 * seconds) * std::exp(-seconds * 30);
            const double hiss = noise[(offset + i) % kNoiseLength] * std::exp(-seconds * 18);
            track.add(from + i, float(0.12 * tone + 0.16 * hiss), 0.05f);
        }
    }

    void hat(double start, bool open)
    {
        const size_t from = frame_of(start), count = frame_of(open ? 0.15 : 0.05);
        const size_t offset = (from * 7) % kNoiseLength;
        float previous = 0;
        for (size_t i = 0; i < count; ++i) {
            const float sample = noise[(offset + i) % kNoiseLength];
            const float high = sample - previous;
            previous = sample;
            const double envelope = std::exp(-double(i) / count * 5);
            track.add(from + i, float(0.05 * envelope * high), -0.3f);
        }
    }

    // Two bars of melody from the seed's draws, kept per phrase so that the
    // tune repeats the way a listener expects.
    std::vector<int> phrase()
    {
        std::vector<int> degrees(2 * kStepsPerBar, -100);
        int degree = 7;
        for (int step = 0; step < 2 * kStepsPerBar; step += 2) {
            const int draw = __mRandom_rand() % 8;
            if (draw < 2 && step % 8 != 0) continue;  // a rest
            degree += (draw % 5) - 2;
            degree = std::max(3, std::min(12, degree));
            degrees[step] = degree;
        }
        return degrees;
    }

    void compose()
    {
        const std::vector<int> phrases[2] = {phrase(), phrase()};
        int bar = 0;
        for (const Section& section : kForm) {
            for (int b = 0; b < section.bars; ++b, ++bar) bar_of(section, bar, phrases[(bar / 4) % 2]);
        }
    }

    void bar_of(const Section& section, int bar, const std::vector<int>& melody)
    {
        const double bar_start = bar * kStepsPerBar * step_seconds;
        const int chord = style.chords[bar % 8];
        if (section.pad) pad(bar_start, kStepsPerBar * step_seconds, chord);
        for (int step = 0; step < kStepsPerBar; ++step) {
            const double at = bar_start + step * step_seconds;
            if (section.kick && style.kick[step] == 'x') kick(at);
            if (section.snare && style.snare[step] == 'x') snare(at);
            if (section.hats && style.hats[step] == 'x') hat(at, step % 8 == 6);
            if (section.bass && style.bass[step] == 'x') bass(at, 1.8 * step_seconds, degree_note(chord, -2));
            if (section.arpeggio) arpeggio(at, step_seconds, degree_note(chord + 2 * (step % 3), 1));
            const int melody_degree = melody[(bar % 2) * kStepsPerBar + step];
            if (section.lead && melody_degree != -100)
                lead(at, 1.9 * step_seconds, degree_note(chord + melody_degree - 7, 1));
        }
    }
};

int total_bars()
{
    int bars = 0;
    for (const Section& section : kForm) bars += section.bars;
    return bars;
}

// Peak to 0.8 of full scale, with a short fade at the end of a cut.
void finish(Track& track, size_t frames)
{
    track.left.resize(frames);
    track.right.resize(frames);
    float peak = 1e-6f;
    for (size_t i = 0; i < frames; ++i) peak = std::max(peak, std::max(std::fabs(track.left[i]), std::fabs(track.right[i])));
    const size_t fade = std::min(frames, size_t(kRate / 20));
    for (size_t i = 0; i < frames; ++i) {
        float gain = 0.8f / peak;
        if (i + fade > frames) gain *= float(frames - i) / float(fade);
        track.left[i] *= gain;
        track.right[i] *= gain;
    }
}

bool write_page(FILE* out, const ogg_page& page)
{
    return fwrite(page.header, 1, page.header_len, out) == size_t(page.header_len) &&
           fwrite(page.body, 1, page.body_len, out) == size_t(page.body_len);
}

bool write_ogg(const Track& track, const PieceStyle& style, const char* path)
{
    FILE* out = fopen(path, "wb");
    if (!out) {
        printf("ERROR: Could not write %s\n", path);
        return false;
    }
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kRate, kQuality) != 0) {
        printf("ERROR: The Vorbis encoder refused its settings\n");
        fclose(out);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    const std::string title = std::string("Zorblit Rally ") + style.name;
    vorbis_comment_add_tag(&comment, "TITLE", title.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, style.seed);

    bool ok = true;
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) ok = ok && write_page(out, page);

    const size_t frames = track.left.size();
    const size_t chunk = 4096;
    // The last round writes no frames: that ends the stream, and only then
    // does the encoder give out the blocks that hold the last frames.
    for (size_t at = 0;; at += chunk) {
        const size_t count = at < frames ? std::min(chunk, frames - at) : 0;
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            memcpy(buffer[0], &track.left[at], count * sizeof(float));
            memcpy(buffer[1], &track.right[at], count * sizeof(float));
            vorbis_analysis_wrote(&dsp, int(count));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) ok = ok && write_page(out, page);
            }
        }
        if (count == 0) break;
    }
    while (ogg_stream_flush(&stream, &page)) ok = ok && write_page(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (fclose(out) != 0) ok = false;
    if (!ok) printf("ERROR: Could not write %s\n", path);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const PieceStyle* style = nullptr;
    for (const PieceStyle& piece : kPieces)
        if (argc >= 3 && argv[1][0] == piece.name && argv[1][1] == 0) style = &piece;
    if (!style) {
        printf("usage: compose_music A|B|C|D out.ogg [seconds]\n");
        return 2;
    }
    __mRandom_srand(unsigned(style->seed));
    const std::vector<float> noise = make_noise();
    const double step_seconds = 60.0 / style->bpm / 4;
    const double full_seconds = total_bars() * kStepsPerBar * step_seconds + 1.0;
    double seconds = full_seconds;
    if (argc >= 4) seconds = std::min(full_seconds, std::max(0.1, atof(argv[3])));
    // Composed whole, then cut: a short piece is the start of the long one.
    Track track(size_t(full_seconds * kRate));
    Composer{*style, track, noise, step_seconds}.compose();
    finish(track, size_t(seconds * kRate));
    return write_ogg(track, *style, argv[2]) ? 0 : 1;
}
