// Makes the game's models and textures: the two species' carts (head, body,
// car, pipes) and the track's extra models as FBX version 6 text, and the PNG
// textures of carts, rings, finish line and planet. Deterministic to the byte.
//   game_models DATA_FOLDER

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/png_file.h"

namespace {

// ---- constants ----
const int kPartTexture = 64;
const int kRingTexture = 64;
const int kRingEdgeWidth = 4;
const int kRingBarSpacing = 16;
const int kRingBarWidth = 3;
const int kRingBaseGlow = 72;
const int kRingBarGlow = 170;
const int kPlanetWidth = 256, kPlanetHeight = 128;
const int kWheelSegments = 12;

struct Rgb {
    int r, g, b;
};

struct Species {
    const char* name;
    Rgb fur, belly, tip, kart;
    double snout_length, ear_height, tail_length;
};

const Species kSpecies[2] = {
    {"Fox", {226, 104, 28}, {250, 244, 232}, {40, 24, 16}, {200, 30, 36}, 1.5, 1.3, 3.2},
    {"Ermine", {244, 240, 228}, {255, 255, 255}, {20, 20, 22}, {36, 80, 200}, 0.6, 0.5, 1.8},
};

// ---- geometry ----
struct V3 {
    double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 unit(V3 v)
{
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? V3{v.x / l, v.y / l, v.z / l} : v;
}

// One model: shared vertices, polygons with a normal and a uv per corner.
struct Model {
    explicit Model(const char* name) : name(name) {}
    std::string name;
    std::vector<V3> vertices;
    std::vector<int> polygons;  // last corner of each polygon stored as ~index
    std::vector<V3> normals;
    std::vector<double> uvs;
    std::vector<int> uv_indices;

    int vertex(V3 v)
    {
        vertices.push_back(v);
        return int(vertices.size()) - 1;
    }
    // corners in counter-clockwise order seen from outside; normal per corner
    // (flat when none given), uv rectangle u0..u1, v0..v1 spread over a quad.
    void polygon(const std::vector<int>& corners, const std::vector<V3>* corner_normals, double u0, double v0,
                 double u1, double v1)
    {
        const V3 flat = unit(cross(vertices[corners[1]] - vertices[corners[0]], vertices[corners[2]] - vertices[corners[0]]));
        for (size_t i = 0; i < corners.size(); ++i) {
            polygons.push_back(i + 1 == corners.size() ? ~corners[i] : corners[i]);
            normals.push_back(corner_normals ? (*corner_normals)[i] : flat);
            const double a = corners.size() == 4 ? double((i == 1 || i == 2) ? 1 : 0)
                                                 : 0.5 + 0.5 * std::cos(2 * M_PI * double(i) / double(corners.size()));
            const double b = corners.size() == 4 ? double(i >= 2 ? 1 : 0)
                                                 : 0.5 + 0.5 * std::sin(2 * M_PI * double(i) / double(corners.size()));
            uvs.push_back(u0 + (u1 - u0) * a);
            uvs.push_back(v0 + (v1 - v0) * b);
            uv_indices.push_back(int(uvs.size() / 2) - 1);
        }
    }
    // An axis-aligned box; its front face (towards -z) takes the uv rectangle
    // front, the others the rectangle rest.
    void box(V3 lo, V3 hi, const double front[4], const double rest[4])
    {
        int c[8];
        for (int i = 0; i < 8; ++i)
            c[i] = vertex({(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z});
        const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2}, {1, 3, 7, 5}, {2, 6, 7, 3}, {0, 1, 5, 4}};
        for (int f = 0; f < 6; ++f) {
            const double* r = f == 0 ? front : rest;
            polygon({c[faces[f][0]], c[faces[f][1]], c[faces[f][2]], c[faces[f][3]]}, nullptr, r[0], r[1], r[2], r[3]);
        }
    }
    // A cylinder along x (wheels) or z (pipes) with smooth sides and flat caps.
    void cylinder(V3 centre, double radius, double half_length, bool along_x)
    {
        std::vector<int> near_ring, far_ring;
        std::vector<V3> directions;
        for (int s = 0; s < kWheelSegments; ++s) {
            const double a = 2 * M_PI * s / kWheelSegments;
            const double p = radius * std::cos(a), q = radius * std::sin(a);
            const V3 d = along_x ? V3{0, p, q} : V3{p, q, 0};
            const V3 axis = along_x ? V3{half_length, 0, 0} : V3{0, 0, half_length};
            directions.push_back(unit(d));
            near_ring.push_back(vertex(centre + d - axis));
            far_ring.push_back(vertex(centre + d + axis));
        }
        for (int s = 0; s < kWheelSegments; ++s) {
            const int t = (s + 1) % kWheelSegments;
            const std::vector<V3> n = {directions[s], directions[s], directions[t], directions[t]};
            const double u0 = double(s) / kWheelSegments, u1 = double(s + 1) / kWheelSegments;
            if (along_x)
                polygon({near_ring[s], far_ring[s], far_ring[t], near_ring[t]}, &n, u0, 0, u1, 0.5);
            else
                polygon({near_ring[s], near_ring[t], far_ring[t], far_ring[s]}, &n, u0, 0, u1, 0.5);
        }
        std::vector<int> near_cap(near_ring.rbegin(), near_ring.rend());
        if (along_x) {
            polygon(near_cap, nullptr, 0, 0.5, 1, 1);
            polygon(far_ring, nullptr, 0, 0.5, 1, 1);
        } else {
            polygon(far_ring, nullptr, 0, 0.5, 1, 1);
            polygon(near_cap, nullptr, 0, 0.5, 1, 1);
        }
    }
};

const double kWhole[4] = {0, 0, 1, 1};
const double kLeftHalf[4] = {0, 0, 0.5, 1};
const double kRightHalf[4] = {0.5, 0, 1, 1};

// The cart faces -z, stands on y = -3.3 and is drawn at 0.15 scale.
std::vector<Model> cart(const Species& s)
{
    Model head("head"), body("body"), car("car"), pipes("pipes");
    head.box({-1.0, 0.8, -1.4}, {1.0, 2.6, 0.6}, kRightHalf, kLeftHalf);
    head.box({-0.45, 1.0, -1.4 - s.snout_length}, {0.45, 1.7, -1.4}, kLeftHalf, kLeftHalf);
    head.box({-0.95, 2.6, -0.6}, {-0.35, 2.6 + s.ear_height, 0.0}, kLeftHalf, kLeftHalf);
    head.box({0.35, 2.6, -0.6}, {0.95, 2.6 + s.ear_height, 0.0}, kLeftHalf, kLeftHalf);
    body.box({-1.3, -1.4, -0.6}, {1.3, 0.8, 1.6}, kLeftHalf, kLeftHalf);
    body.box({-1.9, -0.2, -1.6}, {-1.3, 0.3, 0.4}, kLeftHalf, kLeftHalf);
    body.box({1.3, -0.2, -1.6}, {1.9, 0.3, 0.4}, kLeftHalf, kLeftHalf);
    body.box({-0.4, -1.0, 1.6}, {0.4, -0.2, 1.6 + s.tail_length}, kRightHalf, kRightHalf);
    car.box({-2.2, -2.3, -3.6}, {2.2, -1.4, 3.4}, kWhole, kWhole);
    car.box({-1.6, -1.4, 1.6}, {1.6, 0.6, 2.2}, kWhole, kWhole);
    car.box({-1.8, -2.2, -4.4}, {1.8, -1.5, -3.6}, kWhole, kWhole);
    for (int i = 0; i < 4; ++i) {
        const double x = (i & 1) ? 2.7 : -2.7, z = (i & 2) ? 2.4 : -2.4;
        car.cylinder({x, -2.2, z}, 1.1, 0.45, true);
    }
    for (int i = 0; i < 2; ++i) {
        const double x = i ? 1.1 : -1.1;
        pipes.cylinder({x, -1.6, 4.3}, 0.38, 0.9, false);
        pipes.cylinder({x, -1.6, 5.3}, 0.5, 0.12, false);
    }
    return {head, body, car, pipes};
}

std::vector<Model> speedboost()
{
    Model pad("speedboost");
    pad.box({-3.0, -0.1, -4.0}, {3.0, 0.1, 4.0}, kWhole, kWhole);
    for (int i = 0; i < 3; ++i) {
        const double z = -2.8 + 2.0 * i;
        const int a = pad.vertex({0, 0.12, z}), b = pad.vertex({2.2, 0.12, z + 1.4}), c = pad.vertex({1.6, 0.12, z + 1.9}),
                  d = pad.vertex({0, 0.12, z + 0.8}), e = pad.vertex({-1.6, 0.12, z + 1.9}),
                  f = pad.vertex({-2.2, 0.12, z + 1.4});
        pad.polygon({a, f, e, d}, nullptr, 0, 0, 1, 1);
        pad.polygon({a, d, c, b}, nullptr, 0, 0, 1, 1);
    }
    return {pad};
}

std::vector<Model> finish_line()
{
    Model base("base"), pole("pole");
    base.box({-5.0, -0.05, -0.6}, {5.0, 0.05, 0.6}, kWhole, kWhole);
    pole.box({-5.3, 0.0, -0.2}, {-4.9, 4.0, 0.2}, kWhole, kWhole);
    pole.box({4.9, 0.0, -0.2}, {5.3, 4.0, 0.2}, kWhole, kWhole);
    pole.box({-5.3, 4.0, -0.15}, {5.3, 4.8, 0.15}, kWhole, kWhole);
    return {base, pole};
}

// ---- FBX text ----
void write_numbers(FILE* out, const char* key, const std::vector<double>& values)
{
    fprintf(out, "\t\t%s ", key);
    for (size_t i = 0; i < values.size(); ++i) fprintf(out, "%s%.6g", i ? "," : "", values[i]);
    fprintf(out, "\n");
}

void write_indices(FILE* out, const char* key, const std::vector<int>& values)
{
    fprintf(out, "\t\t%s ", key);
    for (size_t i = 0; i < values.size(); ++i) fprintf(out, "%s%d", i ? "," : "", values[i]);
    fprintf(out, "\n");
}

bool write_fbx(const std::string& path, const std::vector<Model>& models)
{
    FILE* out = fopen(path.c_str(), "w");
    if (!out) return false;
    fprintf(out, "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n");
    fprintf(out, "Definitions:  {\n\tVersion: 100\n\tCount: %zu\n}\nObjects:  {\n", models.size());
    for (const Model& m : models) {
        fprintf(out, "\tModel: \"Model::%s\", \"Mesh\" {\n\t\tVersion: 232\n\t\tProperties60:  {\n", m.name.c_str());
        fprintf(out, "\t\t\tProperty: \"PreRotation\", \"Vector3D\", \"\",0,0,0\n");
        fprintf(out, "\t\t\tProperty: \"GeometricTranslation\", \"Vector3D\", \"\",0,0,0\n");
        fprintf(out, "\t\t\tProperty: \"GeometricRotation\", \"Vector3D\", \"\",0,0,0\n");
        fprintf(out, "\t\t\tProperty: \"GeometricScaling\", \"Vector3D\", \"\",1,1,1\n");
        fprintf(out, "\t\t\tProperty: \"Lcl Translation\", \"Lcl Translation\", \"A+\",0,0,0\n");
        fprintf(out, "\t\t\tProperty: \"Lcl Rotation\", \"Lcl Rotation\", \"A+\",0,0,0\n");
        fprintf(out, "\t\t\tProperty: \"Lcl Scaling\", \"Lcl Scaling\", \"A+\",1,1,1\n\t\t}\n");
        std::vector<double> flat;
        for (const V3& v : m.vertices) flat.insert(flat.end(), {v.x, v.y, v.z});
        write_numbers(out, "Vertices:", flat);
        write_indices(out, "PolygonVertexIndex:", m.polygons);
        fprintf(out, "\t\tGeometryVersion: 124\n\t\tLayerElementNormal: 0 {\n\t\t\tVersion: 101\n");
        fprintf(out, "\t\t\tMappingInformationType: \"ByPolygonVertex\"\n\t\t\tReferenceInformationType: \"Direct\"\n");
        flat.clear();
        for (const V3& n : m.normals) flat.insert(flat.end(), {n.x, n.y, n.z});
        write_numbers(out, "Normals:", flat);
        fprintf(out, "\t\t}\n\t\tLayerElementUV: 0 {\n\t\t\tVersion: 101\n");
        fprintf(out, "\t\t\tMappingInformationType: \"ByPolygonVertex\"\n\t\t\tReferenceInformationType: \"IndexToDirect\"\n");
        write_numbers(out, "UV:", m.uvs);
        write_indices(out, "UVIndex:", m.uv_indices);
        fprintf(out, "\t\t}\n\t\tLayerElementMaterial: 0 {\n\t\t\tVersion: 101\n");
        fprintf(out, "\t\t\tMappingInformationType: \"AllSame\"\n\t\t\tReferenceInformationType: \"IndexToDirect\"\n");
        fprintf(out, "\t\t\tMaterials: 0\n\t\t}\n\t}\n");
    }
    fprintf(out, "}\nTakes:  {\n\tCurrent: \"\"\n}\n");
    return fclose(out) == 0;
}

// ---- images ----
struct Image {
    int width, height;
    std::vector<unsigned char> rgba;
    Image(int w, int h) : width(w), height(h), rgba(size_t(w) * h * 4, 255) {}
    void set(int x, int y, Rgb c, int alpha = 255)
    {
        unsigned char* p = &rgba[(size_t(y) * width + x) * 4];
        p[0] = (unsigned char)std::max(0, std::min(255, c.r));
        p[1] = (unsigned char)std::max(0, std::min(255, c.g));
        p[2] = (unsigned char)std::max(0, std::min(255, c.b));
        p[3] = (unsigned char)alpha;
    }
};

bool write_png(const std::string& path, const Image& image)
{
    return write_png_file(path, image.width, image.height, 4, image.rgba.data());
}

// A fixed hash in 0..1 of integer coordinates, and smooth noise made from it.
double lattice(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double noise(double x, double y, int period_x, int seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int i, int j) { return lattice(((i % period_x) + period_x) % period_x, j, seed); };
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

Rgb shade(Rgb c, double f) { return {int(c.r * f), int(c.g * f), int(c.b * f)}; }

// Fur: the species colour with fine streaks; the right half of the head
// texture is the face (eyes and nose) that the head's front takes.
Image part_texture(const Species& s, int part)
{
    Image image(kPartTexture, kPartTexture);
    for (int y = 0; y < kPartTexture; ++y)
        for (int x = 0; x < kPartTexture; ++x) {
            const double grain = 0.88 + 0.12 * noise(x / 3.0, y / 9.0, 1 << 20, part + 1);
            Rgb c = s.fur;
            if (part == 1 && x >= kPartTexture / 2) c = y > kPartTexture * 3 / 4 ? s.tip : s.fur;  // tail
            if (part == 1 && x < kPartTexture / 2 && x > 10 && x < 22) c = s.belly;                 // chest
            if (part == 2) c = (y / 8) % 4 == 0 ? shade(s.kart, 0.55) : s.kart;                   // kart stripes
            if (part == 3) c = shade({190, 194, 200}, 0.75 + 0.25 * std::sin(y * 0.4));           // chrome
            if (part == 0 && x >= kPartTexture / 2) {
                const int fx = x - kPartTexture / 2;
                if (y > kPartTexture / 2) c = s.belly;
                const bool eye = (std::abs(fx - 8) < 4 || std::abs(fx - 24) < 4) && std::abs(y - 22) < 4;
                const bool nose = std::abs(fx - 16) < 3 && std::abs(y - 40) < 3;
                if (eye || nose) c = s.tip;
            }
            image.set(x, y, shade(c, grain));
        }
    return image;
}

// The ring's textures repeat 25 times round the lap along x; y runs across
// the face. The glow maps light the whole face (the rings show nothing but
// their glow), brightest at the edges, with bars across that stream past.
int ring_glow(int x, int y, bool top)
{
    const bool bar = x % kRingBarSpacing < kRingBarWidth;
    const bool line = top ? (y < kRingEdgeWidth || y >= kRingTexture - kRingEdgeWidth)
                          : std::abs(y - kRingTexture / 2) < kRingEdgeWidth;
    if (line) return 255;
    return bar ? kRingBarGlow : kRingBaseGlow;
}

Image ring_texture(int kind)
{
    Image image(kRingTexture, kRingTexture);
    for (int y = 0; y < kRingTexture; ++y)
        for (int x = 0; x < kRingTexture; ++x) {
            const int v = kind == 0 ? ((x % 16 < 2 || y % 16 < 2) ? 255 : 40)  // specular grid
                                    : ring_glow(x, y, kind == 1);             // top or side glow
            image.set(x, y, {v, v, v});
        }
    return image;
}

Image finish_texture()
{
    Image image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int v = ((x / 8) + (y / 8)) % 2 ? 245 : 15;
            image.set(x, y, {v, v, v});
        }
    return image;
}

// Height 0..1 of the planet at a texel; seamless around the equator.
double planet_height(int x, int y)
{
    double h = 0, amplitude = 0.5;
    for (int octave = 0; octave < 4; ++octave) {
        const int cells = 8 << octave;
        h += amplitude * noise(double(x) * cells / kPlanetWidth, double(y) * cells / kPlanetWidth, cells, 7 + octave);
        amplitude /= 2;
    }
    return h / 0.9375;
}

Image planet_color()
{
    Image image(kPlanetWidth, kPlanetHeight);
    for (int y = 0; y < kPlanetHeight; ++y)
        for (int x = 0; x < kPlanetWidth; ++x) {
            const double h = planet_height(x, y);
            const double latitude = std::abs(y - kPlanetHeight / 2.0) / (kPlanetHeight / 2.0);
            Rgb c;
            if (latitude > 0.86)
                c = {236, 242, 250};
            else if (h < 0.5)
                c = shade({30, 70, 160}, 0.6 + h);
            else if (h < 0.54)
                c = {210, 196, 140};
            else if (h < 0.7)
                c = shade({60, 140, 60}, 1.2 - (h - 0.54));
            else
                c = shade({120, 100, 80}, 0.8 + h * 0.3);
            image.set(x, y, c);
        }
    return image;
}

Image planet_bump()
{
    Image image(kPlanetWidth, kPlanetHeight);
    for (int y = 0; y < kPlanetHeight; ++y)
        for (int x = 0; x < kPlanetWidth; ++x) {
            const int v = int(std::max(0.5, planet_height(x, y)) * 255);
            image.set(x, y, {v, v, v});
        }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: game_models DATA_FOLDER\n");
        return 2;
    }
    const std::string game = std::string(argv[1]) + "/zorblitRally/";
    const char* const parts[4] = {"head", "body", "car", "pipes"};
    bool good = true;
    for (const Species& s : kSpecies) {
        const std::string stem = game + "carts/" + s.name + "cart";
        good = write_fbx(stem + ".fbx", cart(s)) && good;
        for (int k = 0; k < 4; ++k) good = write_png(stem + "-" + parts[k] + ".png", part_texture(s, k)) && good;
    }
    good = write_fbx(game + "extraModel/speedboost.fbx", speedboost()) && good;
    good = write_fbx(game + "extraModel/finishLine.fbx", finish_line()) && good;
    good = write_png(game + "extraModel/finishline.png", finish_texture()) && good;
    good = write_png(game + "ring_top_specular.png", ring_texture(0)) && good;
    good = write_png(game + "ring_top_selfillum.png", ring_texture(1)) && good;
    good = write_png(game + "ring_side_selfillum.png", ring_texture(2)) && good;
    good = write_png(game + "planet_color.png", planet_color()) && good;
    good = write_png(game + "planet_bump.png", planet_bump()) && good;
    if (!good) fprintf(stderr, "ERROR: could not write the game's models and textures under %s\n", game.c_str());
    return good ? 0 : 1;
}
