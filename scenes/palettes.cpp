// The scene palettes, built at compile time from their key colours. Ramps are
// floor-interpolated per channel between key entries:
//   c(i) = c0 + floor((c1 - c0) * (i - i0) / (i1 - i0)),
// with floor rounding toward minus infinity, so falling channels round down too.
#include "scenes/palettes.h"

#include <cstring>

namespace {

struct Rgb {
    int r, g, b;
};

struct Key {
    int index;
    Rgb colour;
};

constexpr int floor_div(int a, int b) {
    int q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) --q;
    return q;
}

struct Builder {
    Palette p{};

    constexpr void set(int i, Rgb c) {
        p.rgb[i * 3 + 0] = static_cast<uint8_t>(c.r);
        p.rgb[i * 3 + 1] = static_cast<uint8_t>(c.g);
        p.rgb[i * 3 + 2] = static_cast<uint8_t>(c.b);
    }
    constexpr void fill(int i0, int i1, Rgb c) {
        for (int i = i0; i <= i1; ++i) set(i, c);
    }
    // Entries i0..i1 inclusive, floor-interpolated from c0 to c1.
    constexpr void ramp(int i0, Rgb c0, int i1, Rgb c1) {
        const int n = i1 - i0;
        for (int i = i0; i <= i1; ++i) {
            const int t = i - i0;
            set(i, {c0.r + floor_div((c1.r - c0.r) * t, n), c0.g + floor_div((c1.g - c0.g) * t, n),
                    c0.b + floor_div((c1.b - c0.b) * t, n)});
        }
    }
    // Consecutive ramps through the keys, which must be in rising index order.
    template <int N>
    constexpr void keys(const Key (&k)[N]) {
        for (int j = 0; j + 1 < N; ++j) ramp(k[j].index, k[j].colour, k[j + 1].index, k[j + 1].colour);
    }
    constexpr void copy(int from, int to, int count) {
        for (int i = 0; i < count * 3; ++i) p.rgb[to * 3 + i] = p.rgb[from * 3 + i];
    }
};

constexpr Palette make_opening() {
    Builder b;
    // The picture's own colours: a teal ramp 1..31 for the bodies, a blue-cyan ramp
    // 33..50 for the sky, pale cyans 53..62 for highlights, fixed greys and white.
    b.keys({{1, {1, 5, 8}}, {16, {4, 24, 30}}, {31, {22, 50, 54}}});
    b.set(32, {2, 2, 2});
    b.keys({{33, {2, 6, 18}}, {42, {10, 28, 44}}, {50, {34, 56, 63}}});
    b.set(51, {33, 33, 33});
    b.set(52, {61, 61, 61});
    b.keys({{53, {40, 58, 60}}, {62, {60, 63, 63}}});
    b.set(63, {63, 63, 63});
    for (int i = 64; i <= 255; ++i) b.set(i, {0, 63 * (i - 64) / 191, 59 * (i - 64) / 191});
    return b.p;
}

// Entries 0..190, shared by the logo and curves palettes. The glows, lines and
// points of both phases add to indices and stop at 190, so the light they add must
// climb the ramp: white at 1 falls through pale cyan to a near-black navy trough (34..48)
// where the backgrounds sit, climbs again, slowly then faster, to a bright cyan peak
// (150..174), light rather than white, where added light gathers and where the logo's blur leaves the glows'
// capped cores (190 smoothed to 150..174), and falls to dark teal only in the last
// 16 entries, as fast as smoothness allows, so that sums just short of the cap
// still read as light and only the capped pixels themselves go dark. The trough is nearly black (40), so the pictures drawn in it have
// real darks and everything added to them climbs at once into visible blue. No channel moves more than 3 per entry, so averaged indices stay
// smooth.
constexpr void logo_cool_half(Builder& b) {
    b.keys({{1, {63, 63, 63}},
            {12, {46, 60, 62}},
            {24, {22, 36, 45}},
            {34, {3, 8, 16}},
            {40, {1, 3, 9}},
            {48, {2, 7, 15}},
            {58, {3, 13, 22}},
            {70, {4, 20, 30}},
            {84, {7, 30, 39}},
            {98, {12, 38, 47}},
            {114, {22, 48, 55}},
            {128, {32, 55, 61}},
            {142, {41, 61, 63}},
            {150, {47, 63, 63}},
            {174, {45, 63, 63}},
            {182, {22, 39, 44}},
            {190, {1, 15, 22}}});
}

constexpr Palette make_logo() {
    Builder b;
    logo_cool_half(b);
    b.keys({{191, {57, 46, 12}}, {200, {57, 40, 10}}, {215, {54, 27, 5}}, {235, {36, 9, 2}}, {255, {7, 0, 0}}});
    return b.p;
}

constexpr Palette make_curves() {
    Builder b;
    logo_cool_half(b);
    // The warm half doubles as the portraits' skin ramp: lit orange through tan
    // and russet shadow to the dark red end, every channel falling.
    b.keys({{191, {56, 34, 12}}, {199, {54, 31, 12}}, {210, {46, 24, 11}}, {222, {35, 15, 9}}, {236, {22, 7, 5}},
            {255, {7, 0, 0}}});
    return b.p;
}

constexpr Palette make_tunnel() {
    Builder b;
    // Steel greys going blue in the shade for the console, the dark end (40..63)
    // deep enough that the tunnel's dark band and any average that falls into it
    // read as the dark between the ribs.
    b.keys({{1, {63, 63, 63}}, {10, {50, 53, 57}}, {22, {34, 38, 44}}, {34, {18, 21, 29}}, {46, {8, 10, 18}},
            {63, {2, 2, 2}}});
    b.ramp(176, {13, 10, 10}, 207, {31, 23, 22});
    b.keys({{208, {37, 25, 20}}, {215, {63, 29, 0}}, {223, {57, 46, 12}}});
    b.set(224, {63, 63, 46});
    b.set(225, {51, 34, 24});
    return b.p;
}

// Entries 0..62 of both portrait palettes: the teal ramp (63 and 128..164 stay
// black). The feedback lands a pixel on entry 2f of this ramp, or 128 + 2f when it
// carries, f the low five bits of its sum. The portraits' backdrop settles on 8 and
// their tiled faces on 24 (skin), 40 (shadow) and 56 (lines): the ramp stays pale
// to 8, then falls evenly through the three, a clear step apart, so that a carry's
// nudge of one entry shows a near shade and the faces read as shaded shapes. The
// girl's water is green teal, the boy's a colder steel blue.
constexpr void portrait_teal(Builder& b, bool boy) {
    if (boy) {
        b.keys({{0, {1, 25, 30}}, {8, {1, 24, 30}}, {24, {1, 15, 25}}, {40, {1, 9, 17}}, {56, {1, 3, 7}},
                {62, {1, 1, 1}}});
    } else {
        b.keys({{0, {1, 25, 30}}, {8, {1, 25, 29}}, {24, {1, 17, 20}}, {40, {1, 10, 12}}, {56, {1, 4, 5}},
                {62, {1, 1, 1}}});
    }
}

// Entries 64..127 of both portrait palettes belong to the standing figure alone: the
// feedback clears bit 6 of every pixel it mixes, so the background never shows them.
constexpr Palette make_scene2() {
    Builder b;
    portrait_teal(b, false);
    // The girl: skin from deep shadow to highlight, her blonde hair from the dark
    // underside to the sheen, and a deep teal studio card cut from the same water as the feedback round it.
    b.keys({{64, {20, 7, 4}}, {70, {44, 22, 12}}, {75, {58, 40, 30}}, {79, {63, 58, 52}}});
    b.keys({{80, {7, 4, 1}}, {88, {30, 19, 2}}, {96, {52, 38, 4}}, {103, {62, 58, 38}}});
    b.keys({{104, {1, 4, 6}}, {114, {5, 20, 25}}, {121, {12, 33, 38}}, {127, {24, 46, 50}}});
    // 168 is the tiled hair's colour: amber gold.
    b.keys({{165, {47, 16, 0}}, {168, {55, 33, 6}}, {172, {56, 36, 17}}, {182, {61, 49, 40}}, {190, {62, 61, 60}}});
    b.set(191, {59, 58, 58});
    b.ramp(192, {1, 1, 1}, 253, {62, 62, 62});
    b.set(254, {43, 34, 0});
    b.set(255, {54, 40, 0});
    return b.p;
}

constexpr Palette make_scene3() {
    Builder b;
    // The picture's browns, reds and greys.
    b.keys({{1, {12, 6, 3}}, {10, {36, 20, 10}}});
    b.keys({{11, {20, 2, 2}}, {20, {56, 16, 10}}});
    b.keys({{21, {8, 8, 8}}, {31, {52, 52, 52}}});
    // 33..222 are what the softening makes of a disc's edge: the picture's copper
    // averaged with the background's 32 lands here, a quarter to three quarters of
    // the way up. So the ramp leaves the background's grey for a dusky copper within
    // a dozen entries, holds it, and sinks to black only over its last thirty, so a
    // disc's rim reads as the copper in shade rather than as a dark-blue ring. (Red
    // cannot climb past the background's own 28 here: the ramp runs one way.)
    b.keys({{32, {28, 32, 36}}, {48, {28, 25, 21}}, {150, {28, 22, 17}}, {195, {28, 20, 16}}, {222, {1, 8, 15}}});
    // The shown picture's bright ramp: from blue-black through maroon and copper
    // to cream and pale cyan: the creature's body in the copper, the light behind
    // it in the cream. It climbs out of the black steeply: where a disc's edge
    // chains into the copper (a quarter of 32 and three quarters of the picture,
    // then that again with the picture), the softening lands on 225..235, which
    // must read as the copper's shadow rather than as a black line.
    b.keys({{223, {0, 7, 14}}, {226, {12, 10, 14}}, {229, {24, 14, 14}}, {232, {34, 17, 14}}, {238, {46, 23, 16}},
            {245, {58, 36, 23}}, {250, {60, 48, 43}}, {255, {60, 63, 63}}});
    return b.p;
}

constexpr Palette make_scene4() {
    Builder b;
    portrait_teal(b, true);
    // The boy: skin, worn denim, dark brown hair, a steel-blue card cut from the same
    // water as the feedback round it, and his red T-shirt.
    b.keys({{64, {18, 7, 4}}, {70, {42, 21, 11}}, {75, {57, 39, 28}}, {79, {63, 57, 50}}});
    b.keys({{80, {3, 6, 12}}, {86, {12, 22, 36}}, {92, {26, 40, 52}}, {95, {42, 52, 58}}});
    b.keys({{96, {2, 1, 1}}, {100, {12, 8, 5}}, {103, {30, 22, 15}}});
    b.keys({{104, {1, 3, 8}}, {110, {4, 15, 27}}, {115, {10, 26, 40}}, {119, {22, 40, 54}}});
    b.keys({{120, {22, 1, 1}}, {124, {46, 6, 4}}, {127, {60, 24, 16}}});
    b.set(165, {31, 0, 0});
    b.set(166, {18, 37, 46});
    // 168 is the colour of the rays round the tiled faces: a hot red.
    b.keys({{167, {42, 6, 3}}, {168, {52, 9, 5}}, {169, {56, 14, 6}}, {171, {60, 26, 10}}});
    b.set(172, {46, 47, 51});
    b.keys({{173, {50, 27, 15}}, {182, {60, 45, 35}}, {191, {63, 59, 55}}});
    b.set(192, {63, 63, 63});
    b.set(193, {59, 51, 45});
    b.set(194, {1, 1, 1});
    b.ramp(195, {2, 2, 2}, 255, {62, 62, 62});
    return b.p;
}

// Scene 5. What the smoothing pass leaves of the tube (texel + distance shade,
// averaged and sinking a little with every pass) is one field about forty
// entries wide, 35..82: its walls on 33..63, a ramp from navy black to slate,
// and its lights on 65..85, warm lamps climbing from a dim olive through amber
// to white over nineteen entries. The sampling grid leaves alternate rows three
// or four entries apart, so about two and a half units a step keeps those
// dashes faint. The fixed olive 64 between walls and lights lies at the foot of
// the lights' glow and is that glow's own first step: 63 and 65 lean toward it,
// so where a blur crosses it it reads as the lamp's dim edge rather than an
// off-hue contour. The fixed 91..96 lie past the field, reached only by the
// rare near-camera tail, and so do 86..90 and 97..123, which fall back from the
// lamps' white to a warm grey beside 91 and rise from navy to the fixed steel
// blue of 124: the zoom-out's first frames show the frame left before them,
// which lands there, as dark and steel blocks, not a flash. The fixed 32 and the
// border's 1..10 stay slate in the navy field: in the flight the field crosses
// 32 only where the pass sinks it toward the border and round the centre's
// single sample, whose shade is 63; the zoom-out's sparse samples and the
// flight's first frames, sinking from the flat 32, cross it more widely.
// The banner, averaged with the tube, lands in windows of its own: the letters
// (bytes 238..241) on the creams 132..157, its tinted glass (byte 28) on 33..55,
// the walls' own dark navy, so the glass is a solid dark plate under the letters.
// The zoom-out that opens the scene samples the tube sparsely over the frame
// left before it, and the smoothing sinks what it samples onto 11..50; the
// flight starts from a flat 32 that sinks onto 26..31 in its first frames.
// 11..31 are the walls' own navy black, so both read as a dark field out of
// which the tube grows, rather than a grey one darker than its walls; the fixed
// grey 32 shows only as specks where the field crosses it.
// 168..198 and 204..228 are the craft's: exhaust white through orange, and its
// blue greys.
constexpr Palette make_scene5() {
    Builder b;
    b.fill(1, 3, {10, 19, 30});
    b.set(4, {9, 17, 26});
    b.fill(5, 9, {7, 15, 21});
    b.set(10, {8, 15, 21});
    b.keys({{11, {0, 1, 4}}, {31, {1, 2, 7}}});
    b.keys({{33, {1, 2, 7}}, {42, {2, 4, 10}}, {49, {4, 7, 15}}, {55, {7, 12, 22}}, {60, {12, 17, 24}}, {62, {15, 18, 20}}, {63, {17, 19, 17}}});
    b.set(32, {12, 16, 19});
    b.set(64, {18, 20, 15});
    b.keys({{65, {21, 22, 16}}, {68, {33, 31, 19}}, {72, {48, 43, 27}}, {76, {58, 54, 39}}, {80, {63, 61, 53}},
            {83, {63, 63, 62}}, {84, {63, 63, 63}}, {85, {63, 63, 63}}, {90, {32, 34, 30}}});
    b.set(91, {18, 25, 22});
    b.set(92, {17, 24, 24});
    b.set(93, {16, 23, 27});
    b.set(94, {15, 22, 29});
    b.set(95, {14, 21, 31});
    b.set(96, {13, 20, 34});
    b.keys({{97, {3, 6, 13}}, {110, {9, 15, 25}}, {123, {17, 27, 38}}});
    b.fill(124, 127, {18, 29, 40});
    b.set(128, {18, 29, 36});
    b.set(129, {18, 29, 31});
    b.set(130, {18, 29, 26});
    b.set(131, {18, 29, 21});
    b.keys({{132, {56, 54, 44}}, {157, {62, 61, 51}}});
    b.fill(158, 167, {23, 34, 26});
    b.keys({{168, {63, 63, 58}}, {174, {63, 58, 38}}, {182, {62, 44, 16}}, {190, {52, 26, 6}}, {198, {34, 12, 4}}});
    b.fill(199, 203, {31, 36, 22});
    b.keys({{204, {8, 11, 17}}, {216, {26, 31, 38}}, {228, {48, 52, 56}}});
    b.set(229, {45, 45, 30});
    b.set(232, {29, 0, 0});
    b.set(233, {33, 11, 9});
    b.set(234, {38, 23, 18});
    b.set(235, {43, 34, 27});
    b.set(236, {44, 43, 33});
    b.set(237, {48, 46, 36});
    const int greys[15] = {43, 41, 38, 35, 32, 29, 26, 23, 21, 18, 15, 12, 9, 6, 3};
    for (int i = 0; i < 15; ++i) b.set(239 + i, {greys[i], greys[i], greys[i]});
    return b.p;
}

// Scene 6: what each part of the frame settles on decides the free entries.
// 4..75: the title's chrome, added onto the background 151 with wrap-around
// (4..37 over the teal, 42..75 over the cloud's core).
// A fresh word line's face averaged onto the background lands on 76..80, onto
// the cloud's core on 95..99 and onto its rim between: all cream to gold; its
// ring lands on black (192 up). In the scene's first frame, averaged once more
// with the background, the face passes 101..116 (a dark ramp into the teal).
// The bar the blend blurs across the frame, the older lines smudged onto the
// background and onto the cloud, and the cloud itself are laid out below.
constexpr Palette make_scene6() {
    constexpr Rgb BACKGROUND = {5, 25, 34};
    Builder b;
    b.fill(1, 3, {63, 63, 63});
    b.keys({{3, {63, 63, 63}}, {33, {52, 56, 57}}, {64, {41, 49, 51}}});
    // The title's chrome, one entry a row: sky 4..25 from white to a clear blue,
    // the horizon 27, the ground 28..37 from deep brown through gold to pale
    // yellow (past the fixed 33, which no row takes). 42..75 repeat it 38 up, for
    // the letters over the cloud's core (64, fixed, stands for 26, which no row
    // takes either).
    b.keys({{4, {63, 63, 63}}, {9, {52, 60, 63}}, {17, {34, 50, 62}}, {25, {18, 36, 58}}, {26, {12, 20, 38}}});
    b.set(27, {6, 8, 20});
    b.keys({{28, {22, 9, 3}}, {30, {40, 19, 4}}, {32, {54, 33, 8}}, {34, {60, 45, 15}}, {36, {63, 56, 30}},
            {37, {63, 62, 46}}, {41, {63, 63, 60}}});
    b.copy(4, 42, 34);
    b.set(33, {52, 56, 57});
    b.set(64, {41, 49, 51});
    // The fresh line's face: cream to gold top to foot, over the background on
    // 76..80, over the cloud's core on 95..99, over its rim between.
    b.keys({{76, {63, 63, 52}}, {78, {63, 61, 42}}, {80, {63, 57, 30}}});
    b.fill(81, 94, {63, 59, 38});
    b.keys({{95, {63, 63, 52}}, {97, {63, 61, 42}}, {99, {63, 57, 30}}});
    b.set(100, {23, 39, 43});
    b.keys({{101, {2, 12, 20}}, {108, {3, 17, 26}}, {116, BACKGROUND}});
    // The blend bar under the fresh line settles by row on 132 (its top row; 134
    // only at the frame's left edge), 125 or 127, 122 or 123, 121, then 120: the
    // background's colour. The lines smudged onto the background land on
    // 128..141 (5 steps up), 137..146 (10) and 146..149 (15): a deep ink, which
    // is also the soft shadow the blur draws round the fresh line's black ring.
    // In the frames a bar comes, most of its rows pass 135, 127, 123; in those it
    // goes, 135, 143, 147, 149, 150. Those entries (and 128, 141, 142, which its
    // top row passes) keep the background, or for 135 and 149, which carry much
    // of the newest and the older smudged lines, a half tone that only dims the
    // bar; so a bar shows as one or two thin rows for a frame (rows 1 and 2 of a
    // fresh line's first frame sit on 138..139 and 136..137, the commonest
    // entries of the newer smudged lines, which stay ink).
    constexpr Rgb INK = {0, 6, 16};
    b.fill(117, 150, BACKGROUND);
    constexpr Rgb DEEP = {0, 2, 8};  // the ink at its darkest, on the teal
    for (int i : {129, 130, 131, 133, 134}) b.set(i, DEEP);
    b.fill(136, 149, DEEP);
    for (int i : {141, 142, 143, 147}) b.set(i, BACKGROUND);
    b.set(135, {4, 22, 32});  // a bar's first frame's rows: a half tone a step off the teal
    b.set(149, {3, 20, 30});  // the top edge of a line smudged 15 up; a bar's last frame
    b.fill(150, 151, BACKGROUND);
    b.fill(152, 155, {4, 24, 33});
    // The cloud: what a blob adds caps at 190 and a covered pixel holds 189 (the
    // core, cyan); its thin slope and its trails (170, 160, 155) run from the
    // ink-dark rim (where the lines smudged over the cloud land, 160..182) to a
    // white highlight just inside the core's edge (183, 184: a pixel the cloud
    // newly covers climbs 170, 180, 185, 187, 188, 189 and never flashes it).
    // The core is a light sky cyan and 185..188 a shade deeper, so the patches a
    // blob has just covered read as the cloud's shading under a lit surface
    // rather than as pale spots on a darker one.
    b.keys({{155, {4, 24, 33}}, {157, {1, 9, 22}}, {164, INK}, {176, {1, 10, 24}}, {182, {6, 22, 44}},
            {183, {60, 63, 63}}, {184, {63, 63, 63}}, {185, {20, 44, 62}}, {187, {25, 50, 63}}, {189, {29, 54, 63}}});
    // 190 is the cap, but the average with the frame before holds a covered
    // pixel at 189: 190 is shown where a blob covers the title's black outline
    // (200 capped to 190), so it stays the ink and the outline holds (and for a
    // frame where a line's ring turns to smudge).
    b.set(190, INK);
    b.set(191, {0, 14, 21});
    return b.p;
}

// Scene 7 shows 4 x the distance shade, smoothed: the far wall (the hole and the
// frame's corners) on the flat cyan 1..54, the walls between on 62..191, the
// nearest on black. The free entries there make rings of the distance: dark and
// light bands about ten entries (two to three steps of shade) apart, which the
// smoothing pass renders as rings 10 to 30 pixels wide round the hole and which
// slide and bend with every jump of the camera. A dark band rings the hole, so
// the far end reads as light; the light bands brighten toward the nearest walls
// and are polished-metal bright at their crests over near-black troughs, and
// the fixed 121, 136, 160 and 190 sit where a dark band, a slope, a light band
// and the white rim before the black fall. The green of 56..61 round the hole
// and the frame's corners is fixed; 63..65 turn straight to dark cyan after it,
// so the green stays a narrow rim between the flat cyan and the first dark band
// instead of a wide dark-green fringe.
constexpr Palette make_scene7() {
    Builder b;
    b.fill(1, 54, {14, 33, 38});
    b.set(55, {22, 37, 37});
    b.fill(56, 60, {0, 25, 19});
    b.set(61, {0, 19, 18});
    b.keys({{62, {0, 12, 16}}, {63, {0, 11, 15}}, {65, {0, 7, 10}}, {72, {18, 44, 52}}, {74, {18, 44, 52}},
            {81, {0, 7, 8}}, {83, {0, 7, 8}}, {90, {28, 50, 56}}, {92, {28, 50, 56}}, {99, {0, 6, 9}},
            {101, {0, 6, 9}}, {109, {38, 56, 60}}, {111, {38, 56, 60}}, {120, {0, 24, 31}}});
    b.keys({{121, {1, 25, 31}}, {129, {48, 60, 62}}, {131, {48, 60, 62}}, {136, {14, 33, 38}}, {140, {0, 7, 10}},
            {142, {0, 7, 10}}, {150, {56, 62, 63}}, {152, {56, 62, 63}}, {160, {35, 46, 49}}, {169, {0, 8, 12}},
            {171, {0, 8, 12}}, {179, {60, 63, 63}}, {181, {60, 63, 63}}, {190, {62, 62, 62}}, {191, {63, 63, 63}}});
    return b.p;
}

constexpr Palette make_scene8() {
    Builder b;
    b.keys({{2, {1, 0, 0}}, {15, {12, 5, 2}}, {32, {26, 12, 4}}, {63, {52, 25, 9}}});
    b.keys({{64, {52, 26, 10}}, {80, {59, 46, 32}}, {100, {60, 53, 45}}, {127, {63, 63, 63}}});
    return b.p;
}

constexpr Palette make_scene10() {
    Builder b;
    // One ramp whose every channel climbs: night teal for the ground and trees,
    // deep to dusk blue for the sky, grey mauve and rose for the afterglow and the
    // balloons' shaded sides, rose red, salmon and light orange for their lit sides
    // and the windows, then on to white for the dots, which add up to 63 onto the
    // picture. Blue is held low through the warm entries so they stay warm. No
    // channel falls below the dim floor (the first entry), so a dim step never
    // lifts a colour.
    b.keys({{42, {11, 25, 32}}, {50, {13, 26, 34}}, {56, {16, 28, 35}}, {62, {22, 29, 36}}, {68, {32, 30, 36}},
            {74, {43, 31, 36}}, {80, {53, 34, 36}}, {84, {58, 39, 36}}, {88, {61, 45, 37}}, {94, {63, 48, 37}},
            {104, {63, 52, 38}}, {120, {63, 58, 46}}, {148, {63, 63, 63}}});
    b.copy(42, 149, 107);
    return b.p;
}

}  // namespace

constinit const Palette opening_palette = make_opening();
constinit const Palette logo_palette = make_logo();
constinit const Palette curves_palette = make_curves();
constinit const Palette tunnel_palette = make_tunnel();
constinit const Palette scene2_palette = make_scene2();
constinit const Palette scene3_palette = make_scene3();
constinit const Palette scene4_palette = make_scene4();
constinit const Palette scene5_palette = make_scene5();
constinit const Palette scene6_palette = make_scene6();
constinit const Palette scene7_palette = make_scene7();
constinit const Palette scene8_palette = make_scene8();
constinit const Palette scene10_palette = make_scene10();

void build_flash_palette(Palette& out) {
    for (int i = 0; i < 256; ++i) memcpy(out.rgb + i * 3, FLASH_RGB, 3);
}
