// The track pinned to figures computed apart from the code under test: the
// script below implements the generator's steps on its own (the 15-bit
// generator, ring, four perturbation passes, looped smooth splines, sampling,
// frames and texture u) and printed every figure this file expects, saved as
// track_reference.py and run as `python3 track_reference.py 12345` (repr
// gives each double to its last digit, so the figures read back bit for bit).
// The track uses the C library's cos, sin, sqrt and acos, which Python's math
// module calls as well; no trigonometry table is involved.
//
//   import math, struct
//   TWO_PI = struct.unpack('f', struct.pack('f', 6.2831855))[0]
//   TILT = struct.unpack('f', struct.pack('f', 0.003))[0]
//   state = 0; draws = 0
//   def srand(s): global state; state = s & 0xFFFFFFFF
//   def rand():
//       global state, draws; draws += 1
//       state = (state * 214013 + 2531011) & 0xFFFFFFFF
//       return (state >> 16) & 0x7FFF
//   def fr(): return rand() / 32767.0
//   def add(a, b): return [a[0]+b[0], a[1]+b[1], a[2]+b[2]]
//   def sub(a, b): return [a[0]-b[0], a[1]-b[1], a[2]-b[2]]
//   def mul(a, s): return [a[0]*s, a[1]*s, a[2]*s]
//   def dot(a, b): return a[0]*b[0] + a[1]*b[1] + a[2]*b[2]
//   def l2(a): return a[0]*a[0] + a[1]*a[1] + a[2]*a[2]
//   def norm(a):
//       l = math.sqrt(l2(a))
//       return a if l == 0 else [a[0]/l, a[1]/l, a[2]/l]
//   def crs(a, b): return [a[1]*b[2]-a[2]*b[1], a[2]*b[0]-a[0]*b[2], a[0]*b[1]-a[1]*b[0]]
//   def build(n, seed):
//       base = []
//       for i in range(n):
//           a = i * TWO_PI / n
//           base.append({'p': [math.cos(a)*100, 0.0*100, math.sin(a)*100], 't': 0.0, 'w': 10.0})
//       base[0]['p'] = [(base[n-1]['p'][k] + base[1]['p'][k]) / 2 for k in range(3)]
//       srand(seed)
//       global draws; draws = 0
//       W = [dict(b) for b in base]
//       for _ in range(4):
//           for i in range(n):
//               if 3 <= i <= n - 3:
//                   old = W[i]['w']; X = lambda: (fr()*2 - 1)*3.5 + old
//                   v = None
//                   if X() > 5 and X() >= 16: v = 16.0
//                   if v is None: v = 5.0 if X() <= 5 else X()
//                   W[i]['w'] = v
//                   W[i]['t'] = (W[i-1]['t'] + W[i+1]['t'])*0.5 + (fr()*2 - 1)*TILT
//               if 2 <= i <= n - 2:
//                   r0 = fr(); r1 = fr(); r2 = fr(); r3 = fr()
//                   q = add(W[i]['p'], mul(mul(norm([r3-0.5, r2-0.5, r1-0.5]), r0), 10))
//                   prev = W[i-1]['p']; d = sub(q, prev)
//                   if l2(d) < 900: q = add(prev, mul(norm(d), 30))
//                   elif l2(d) > 6400: q = add(prev, mul(norm(d), 80))
//                   if l2(q) < 6400: q = mul(norm(q), 80)
//                   elif l2(q) > 16900: q = mul(norm(q), 130)
//                   W[i]['p'] = q
//       return base, W, draws
//   def smooth(P, t):
//       c = len(P); seg = int(math.trunc(t)); f = t - seg
//       if seg + 1 == c and f == 0: seg -= 1; f = 1.0
//       pt = lambda i: P[i % c]
//       p0, p1, p2, p3 = pt(seg-1), pt(seg), pt(seg+1), pt(seg+2)
//       L = math.sqrt(l2(sub(p2, p1)))
//       T1 = norm(sub(p2, p1))
//       if seg > 0: T1 = norm(add(T1, norm(sub(p1, p0))))
//       T2 = norm(sub(p1, p2))
//       if seg < c - 2: T2 = norm(add(T2, norm(sub(p2, p3))))
//       C1 = add(p1, [T1[k]*L/3 for k in range(3)]); C2 = add(p2, [T2[k]*L/3 for k in range(3)])
//       u = 1 - f
//       return add(add(add(mul(p1, u*u*u), mul(C1, 3*u*u*f)), mul(C2, 3*u*f*f)), mul(p2, f*f*f))
//   def at(P, f): return smooth(P, f * len(P))
//   def samples(P):
//       out = []; prev = P[0]; f = 0.0; runs = 0; last = None
//       while f <= 1.0:
//           runs += 1; last = f; p = at(P, f)
//           if l2(sub(p, prev)) > 1.75: out.append(f); prev = p
//           f += 0.0001
//       return out, runs, last
//   def quat(m):
//       m00, m01, m02, m10, m11, m12, m20, m21, m22 = m
//       if m00 + m11 + m22 > 0:
//           t = m00 + m11 + m22 + 1; o = 0.5 / math.sqrt(t); return [o*(m12-m21), o*(m20-m02), o*(m01-m10), t*o]
//       if m00 > m11 and m00 > m22:
//           t = m00 - m11 - m22 + 1; o = 0.5 / math.sqrt(t); return [t*o, o*(m01+m10), o*(m20+m02), o*(m12-m21)]
//       if m11 > m22:
//           t = -m00 + m11 - m22 + 1; o = 0.5 / math.sqrt(t); return [o*(m01+m10), t*o, o*(m12+m21), o*(m20-m02)]
//       t = -m00 - m11 + m22 + 1; o = 0.5 / math.sqrt(t); return [o*(m20+m02), o*(m12+m21), t*o, o*(m01-m10)]
//   def frame(N, f):
//       Pp = [x['p'] for x in N]; Ps = [[x['w'], 0.5, 0.0] for x in N]; Pt = [[0.0, 0.0, x['t']] for x in N]
//       f2 = f + 0.001
//       if f2 >= 1.0: f2 = f2 - 1.0
//       p = at(Pp, f); s = at(Ps, f); F = norm(sub(at(Pp, f2), p))
//       a = at(Pt, f)[2]
//       U1 = norm([math.sin(a)*math.sqrt(l2(p)), math.cos(a), 0.0])
//       sc = 0.0 if l2(U1) == 0 or l2(F) == 0 else dot(U1, F) / dot(F, F)
//       U = norm(sub(U1, mul(F, sc))); S = crs(U, F)
//       return p, quat([S[0], U[0], F[0], S[1], U[1], F[1], S[2], U[2], F[2]]), [s[0], s[1], 1.0]
//   def ring_u(p):
//       if l2(p) == 0: ang = 0.0
//       else:
//           d = p[0]
//           if d == 0: ang = float(struct.unpack('f', struct.pack('f', 3.1415927/2))[0])
//           else: ang = math.acos(max(-1.0, min(1.0, d / (math.sqrt(l2(p)) * 1.0))))
//       if p[2] < 0: ang = TWO_PI - ang
//       return ang * 25 / TWO_PI
//   def vertices(p, q, sc):
//       x, y, z, w = q
//       S = [1 - 2*y*y - 2*z*z, 2*x*y - 2*z*w, 2*x*z + 2*y*w]
//       U = [2*x*y + 2*z*w, 1 - 2*x*x - 2*z*z, 2*y*z - 2*x*w]
//       return [add(sub(p, mul(S, sc[0])), mul(U, sc[1])), add(add(p, mul(S, sc[0])), mul(U, sc[1]))]
//   import sys
//   seed = int(sys.argv[1]) if len(sys.argv) > 1 else 12345
//   base, N, nd = build(20, seed)
//   print('draws', nd, 'next', [rand() for _ in range(3)])
//   r = lambda v: repr(v)
//   print('node0', [r(v) for v in N[0]['p']], N[0]['t'], N[0]['w'])
//   for i in (9, 3):
//       print('node%d' % i, [r(v) for v in N[i]['p']], r(N[i]['t']), r(N[i]['w']))
//   S, runs, last = samples([x['p'] for x in N])
//   print('samples', len(S), 'runs', runs, 'lastf', r(last), 'lastsample', r(S[-1]))
//   n = len(S)
//   print('u n-1', r(ring_u(frame(N, S[n-1])[0])), 'u n', r(TWO_PI*25/TWO_PI), 'u0', r(ring_u(frame(N, S[0])[0])))
//   p, q, sc = frame(N, S[7])
//   print('frame7', [r(v) for v in p], [r(v) for v in q], [r(v) for v in sc])
//   print('v28,v29', [[r(c) for c in v] for v in vertices(p, q, sc)])
//
// Its output for seed 12345:
//   draws 562 next [6535, 6767, 22219]
//   node0 ['95.10565406087593', '0.0', '8.314400673725686e-06'] 0.0 10.0
//   node9 ['-92.59524472147824', '-1.3863894656975644', '14.061465638593138'] -0.0004412351087761234 8.488357188634907
//   node3 ['64.49765298479475', '-3.9678608204921852', '90.65446120759728'] 0.0013545683465319047 7.74108096560564
//   samples 506 runs 10001 lastf 0.9999999999999062 lastsample 0.9987999999999063
//   u n-1 24.968950730163478 u n 25.0 u0 0.0569998936221201
//   frame7 ['95.88513156023602', '-0.11731191813258998', '10.824003520059858'] ['-0.007843897134679314', '-0.05226468208796235', '0.0004105325597408409', '0.9986023771987538'] ['10.000000000000002', '0.5', '1.0']
//   v28,v29 [['85.94058678843093', '0.38262638660816795', '11.875712117066238'], ['105.8313161672014', '0.38262638660816795', '9.787917878996423']]
// and for seed 0 the first lines:
//   draws 566 next [28083, 6557, 17821]
//   node0 ['95.10565406087593', '0.0', '8.314400673725686e-06'] 0.0 10.0
//   node9 ['-97.22968748998618', '6.7347423899881615', '18.891920512674574'] 0.0032628260429351475 12.325357829523607
// and for seed -12345 (sign-extended into the generator) the first line:
//   draws 563 next [31906, 7081, 8208]

#include <gtest/gtest.h>

#include "base/random.h"
#include "game/track.h"

namespace {

void expect_vector(const cVector3D& v, double x, double y, double z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

std::unique_ptr<czrTrack> host_track(int16_t seed)
{
    std::unique_ptr<czrTrack> track = czrTrack::create(host_track_record(seed));
    EXPECT_TRUE(track);
    return track;
}

TEST(TrackReference, NodeZeroOfTheHostRecordIsTheSmoothedRingPoint)
{
    for (int16_t seed : {int16_t(0), int16_t(12345), int16_t(32767)}) {
        const std::unique_ptr<czrTrack> track = host_track(seed);
        ASSERT_EQ(track->node_count(), 20u);
        expect_vector(track->node(0).position, 95.10565406087593, 0.0, 8.314400673725686e-06);
        EXPECT_EQ(track->node(0).tilt, 0.0);
        EXPECT_EQ(track->node(0).half_width, 10.0);
        expect_vector(track->base_node(0).position, 95.10565406087593, 0.0, 8.314400673725686e-06);
    }
}

TEST(TrackReference, PerturbedNodesOfOneSeed)
{
    const std::unique_ptr<czrTrack> track = host_track(12345);
    const czrTrackNode& nine = track->node(9);
    expect_vector(nine.position, -92.59524472147824, -1.3863894656975644, 14.061465638593138);
    EXPECT_EQ(nine.tilt, -0.0004412351087761234);
    EXPECT_EQ(nine.half_width, 8.488357188634907);
    const czrTrackNode& three = track->node(3);
    expect_vector(three.position, 64.49765298479475, -3.9678608204921852, 90.65446120759728);
    EXPECT_EQ(three.tilt, 0.0013545683465319047);
    EXPECT_EQ(three.half_width, 7.74108096560564);

    const std::unique_ptr<czrTrack> other = host_track(0);
    expect_vector(other->node(9).position, -97.22968748998618, 6.7347423899881615, 18.891920512674574);
    EXPECT_EQ(other->node(9).tilt, 0.0032628260429351475);
    EXPECT_EQ(other->node(9).half_width, 12.325357829523607);
}

// Nothing draws after the perturbation, so the generator's next draws tell
// how many the perturbation took.
TEST(TrackReference, PerturbationTakesItsDrawsAndNoMore)
{
    struct Case {
        int16_t seed;
        int draws;
        int next[3];
    };
    for (const Case& c : {Case{12345, 562, {6535, 6767, 22219}}, Case{0, 566, {28083, 6557, 17821}},
                          Case{-12345, 563, {31906, 7081, 8208}}}) {
        SCOPED_TRACE(c.seed);
        const std::unique_ptr<czrTrack> track = host_track(c.seed);
        for (int expected : c.next) EXPECT_EQ(__mRandom_rand(), expected);

        __mRandom_srand(uint32_t(int32_t(c.seed)));
        for (int i = 0; i < c.draws; ++i) __mRandom_rand();
        for (int expected : c.next) EXPECT_EQ(__mRandom_rand(), expected);
    }
}

TEST(TrackReference, SamplingWalksTenThousandAndOneFractions)
{
    int visits = 0;
    double last = -1;
    for_each_sampling_fraction([&](double f) {
        ++visits;
        last = f;
    });
    EXPECT_EQ(visits, 10001);
    EXPECT_EQ(last, 0.9999999999999062);

    const std::unique_ptr<czrTrack> track = host_track(12345);
    ASSERT_EQ(track->sample_count(), 506u);
    EXPECT_EQ(track->sample_param(505), 0.9987999999999063);
}

TEST(TrackReference, TextureRunsOnceAroundTheRing)
{
    const std::unique_ptr<czrTrack> track = host_track(12345);
    const uint32_t n = track->sample_count();
    for (const czrTrackMesh* mesh : {&track->top_mesh(), &track->side_mesh()}) {
        ASSERT_EQ(mesh->uvs.size(), 2 * n + 2);
        EXPECT_EQ(mesh->uvs[0].x, 0.0569998936221201);
        EXPECT_EQ(mesh->uvs[2 * (n - 1)].x, 24.968950730163478);
        EXPECT_EQ(mesh->uvs[2 * n].x, 25.0);
        EXPECT_EQ(mesh->uvs[2 * n + 1].x, 25.0);
        EXPECT_EQ(mesh->uvs[2 * n].y, 1.0);
        EXPECT_EQ(mesh->uvs[2 * n + 1].y, 0.0);
    }
}

TEST(TrackReference, FrameAndRibbonCornersAtOneSample)
{
    const std::unique_ptr<czrTrack> track = host_track(12345);
    const czrTrackFrame frame = track->frame_at(track->sample_param(7));
    expect_vector(frame.position, 95.88513156023602, -0.11731191813258998, 10.824003520059858);
    EXPECT_EQ(frame.rotation.x, -0.007843897134679314);
    EXPECT_EQ(frame.rotation.y, -0.05226468208796235);
    EXPECT_EQ(frame.rotation.z, 0.0004105325597408409);
    EXPECT_EQ(frame.rotation.w, 0.9986023771987538);
    expect_vector(frame.scale, 10.000000000000002, 0.5, 1.0);

    const std::vector<cVector3D>& vertices = track->top_mesh().vertices;
    ASSERT_GT(vertices.size(), 29u);
    expect_vector(vertices[28], 85.94058678843093, 0.38262638660816795, 11.875712117066238);
    expect_vector(vertices[29], 105.8313161672014, 0.38262638660816795, 9.787917878996423);
}

}  // namespace
