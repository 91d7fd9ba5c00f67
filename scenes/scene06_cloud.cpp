// Scene 6's point cloud: seeding, the fixed-point rotation, the projection and the
// glow stamps.
#include "render/blobs.h"
#include "render/fixed_rotation.h"
#include "render/random.h"
#include "scenes/scene06_glow_cloud.h"

void seed_cloud(GlowCloudRun& run) {
    // x, y, z of each point in turn: the draws continue the show's shared sequence,
    // so their order is part of the picture.
    for (CloudPoint& p : run.points) {
        p.x = show_rand() % 300 - 150;
        p.y = show_rand() % 300 - 150;
        p.z = show_rand() % 300 - 150;
    }
}

void rotate_point(const CloudPoint& p, CloudPoint& out, uint8_t a, uint8_t b, uint8_t c) {
    const IntPoint3 r = rotate_fixed({p.x, p.y, p.z}, a, b, c);
    out.x = r.x;
    out.y = r.y;
    out.z = r.z;
}

void rotate_cloud(GlowCloudRun& run, uint8_t a, uint8_t b, uint8_t c) {
    for (int i = 0; i < CLOUD_POINTS; ++i) rotate_point(run.points[i], run.rotated[i], a, b, c);
}

void project_cloud_point(CloudPoint& p) {
    // The horizontal position is scaled by y, the vertical one by z alone: that is
    // the look of this cloud, not a slip. A point on either divisor's zero stays
    // where it was last drawn. Divisions truncate toward zero.
    if (p.y == -256 || p.z == -256) return;
    p.sx = p.x * 64 / (p.y + 256) + 160;
    p.sy = p.z * 64 / (p.z + 256) + 150;
}

void draw_cloud(GlowCloudRun& run) {
    for (CloudPoint& p : run.rotated) {
        project_cloud_point(p);
        // A negative position becomes a large unsigned one, which add_glow skips.
        add_glow(uint16_t(p.sx), uint16_t(p.sy), uint8_t(10 - ((p.z + 214) >> 6)));
    }
}
