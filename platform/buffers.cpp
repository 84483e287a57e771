// A buffer holds V = 3 * triangles corners in up to three blocks of floats:
// positions (16 bytes a corner, the fourth float unused), then, when lit,
// tangent, normal and UV (32 bytes), then, when coloured, RGBA (16 bytes).
// Every corner is written out, so a buffer draws with glDrawArrays.
#include "platform/buffers.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "base/color.h"
#include "platform/device.h"
#include "platform/drawing.h"
#include "platform/tangent.h"

namespace trellis {

namespace {

constexpr size_t kPositionBytes = 16;
constexpr size_t kLitBytes = 32;
constexpr size_t kColorBytes = 16;

struct VboRecord {
    GLuint buffer;  // 0 marks an empty slot
    int32_t vertex_count;
    bool lit;
    bool colored;
};

std::vector<VboRecord> vboList;

bool buffers_on()
{
    return device().vbos && device().window_open;
}

bool lists_on()
{
    return device().display_lists && device().window_open;
}

bool has_lit_data(const ModelDataStruct& model)
{
    return (model.uvs && model.uv_indices) || (model.normals && model.normal_indices);
}

bool has_colors(const ModelDataStruct& model)
{
    return model.colors && model.color_indices;
}

const VboRecord* record_of(int vbo)
{
    if (vbo < 0 || size_t(vbo) >= vboList.size() || vboList[size_t(vbo)].buffer == 0) return nullptr;
    return &vboList[size_t(vbo)];
}

size_t lit_offset(const VboRecord& record)
{
    return kPositionBytes * size_t(record.vertex_count);
}

size_t color_offset(const VboRecord& record)
{
    return (record.lit ? kPositionBytes + kLitBytes : kPositionBytes) * size_t(record.vertex_count);
}

size_t buffer_bytes(const VboRecord& record)
{
    return color_offset(record) + (record.colored ? kColorBytes * size_t(record.vertex_count) : 0);
}

const GLvoid* at(size_t offset)
{
    return reinterpret_cast<const GLvoid*>(offset);
}

// Every index a buffer reads, checked against its array, so a bad model
// cannot make the upload read past an array.
bool triples_inside(const int32_t* indices, const void* array, int32_t count, int32_t triangles)
{
    if (!indices || !array) return true;
    for (int32_t i = 0; i < 3 * triangles; ++i)
        if (indices[i] < 0 || indices[i] >= count) return false;
    return true;
}

bool model_indices_inside(const ModelDataStruct& model)
{
    const int32_t t = model.triangle_count;
    return model.vertices && model.vertex_indices &&
           triples_inside(model.vertex_indices, model.vertices, model.vertex_count, t) &&
           triples_inside(model.normal_indices, model.normals, model.normal_count, t) &&
           triples_inside(model.uv_indices, model.uvs, model.uv_count, t) &&
           triples_inside(model.color_indices, model.colors, model.color_count, t);
}

bool update_allowed(const VboRecord& record, const ModelDataStruct& model)
{
    if (model.triangle_count < 0 || 3 * int64_t(model.triangle_count) != record.vertex_count) {
        printf("Warning: update vbo called with non-matching tri count count: %i / %i\n", model.triangle_count,
               record.vertex_count / 3);
        return false;
    }
    if (has_lit_data(model) && !record.lit) {
        printf("Warning: supplied UV or Normal data to a VBO update call that does not possess UV or Normal data.\n");
        return false;
    }
    if (has_colors(model) && !record.colored) {
        printf("Warning: supplied Color data to a VBO update call that does not possess Color data.\n");
        return false;
    }
    if (!model_indices_inside(model)) {
        printf("Warning: update vbo called with an index outside its arrays - nothing uploaded\n");
        return false;
    }
    return true;
}

void put3(float* out, const cVector3D& v)
{
    out[0] = float(v.x);
    out[1] = float(v.y);
    out[2] = float(v.z);
}

void write_positions(uint8_t* data, const ModelDataStruct& model)
{
    for (int32_t corner = 0; corner < 3 * model.triangle_count; ++corner) {
        float* out = reinterpret_cast<float*>(data + kPositionBytes * size_t(corner));
        put3(out, model.vertices[model.vertex_indices[corner]]);
    }
}

cVector2D<double> corner_uv(const ModelDataStruct& model, int32_t corner)
{
    if (!model.uvs || !model.uv_indices) return cVector2D<double>(0, 0);
    return model.uvs[model.uv_indices[corner]];
}

cVector3D corner_normal(const ModelDataStruct& model, int32_t corner)
{
    if (!model.normals || !model.normal_indices) return cVector3D(0, 0, 0);
    return model.normals[model.normal_indices[corner]];
}

void write_lit_block(uint8_t* data, const ModelDataStruct& model)
{
    for (int32_t t = 0; t < model.triangle_count; ++t) {
        const int32_t* v = &model.vertex_indices[3 * t];
        const cVector3D tangent =
            triangle_tangent(model.vertices[v[0]], model.vertices[v[1]], model.vertices[v[2]], corner_uv(model, 3 * t),
                             corner_uv(model, 3 * t + 1), corner_uv(model, 3 * t + 2));
        for (int k = 0; k < 3; ++k) {
            const int32_t corner = 3 * t + k;
            float* out = reinterpret_cast<float*>(data + kLitBytes * size_t(corner));
            put3(out, tangent);
            put3(out + 3, corner_normal(model, corner));
            const cVector2D<double> uv = corner_uv(model, corner);
            out[6] = float(uv.x);
            out[7] = float(uv.y);
        }
    }
}

// A corner without a colour is white.
cColor corner_color(const ModelDataStruct& model, int32_t corner)
{
    if (!has_colors(model)) return cColor(1, 1, 1, 1);
    return model.colors[model.color_indices[corner]];
}

// Without shaders the material's diffuse colour is baked in at upload.
void write_color_block(uint8_t* data, const ModelDataStruct& model)
{
    const cColor tint = device().shaders ? cColor(1, 1, 1, 1) : device().material.diffuse;
    for (int32_t corner = 0; corner < 3 * model.triangle_count; ++corner) {
        const cColor c = corner_color(model, corner);
        float* out = reinterpret_cast<float*>(data + kColorBytes * size_t(corner));
        out[0] = c.r * tint.r;
        out[1] = c.g * tint.g;
        out[2] = c.b * tint.b;
        out[3] = c.a * tint.a;
    }
}

// The uncoloured corners' colour: white under shaders, else the material's.
void apply_plain_color()
{
    const cColor tint = device().shaders ? cColor(1, 1, 1, 1) : device().material.diffuse;
    glColor4f(tint.r, tint.g, tint.b, tint.a);
}

void enable_arrays(const VboRecord& record)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, GLsizei(kPositionBytes), at(0));
    if (record.lit) {
        const size_t lit = lit_offset(record);
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, GLsizei(kLitBytes), at(lit + 12));
        if (device().shaders) glClientActiveTexture(GL_TEXTURE0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, GLsizei(kLitBytes), at(lit + 24));
        const int32_t tangent = device().tangent_location;
        if (device().shaders && tangent >= 0) {
            glEnableVertexAttribArray(GLuint(tangent));
            glVertexAttribPointer(GLuint(tangent), 3, GL_FLOAT, GL_FALSE, GLsizei(kLitBytes), at(lit));
        }
    }
    if (record.colored) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, GLsizei(kColorBytes), at(color_offset(record)));
    } else {
        apply_plain_color();
    }
}

void disable_arrays(const VboRecord& record)
{
    glDisableClientState(GL_VERTEX_ARRAY);
    if (record.lit) {
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        const int32_t tangent = device().tangent_location;
        if (device().shaders && tangent >= 0) glDisableVertexAttribArray(GLuint(tangent));
    }
    if (record.colored) glDisableClientState(GL_COLOR_ARRAY);
}

// A fresh buffer of the record's size; 0 when GL gave a different size.
GLuint make_buffer(const VboRecord& record)
{
    const size_t bytes = buffer_bytes(record);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    if (buffer == 0) return 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), nullptr, GL_DYNAMIC_DRAW);
    GLint size = -1;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (size >= 0 && size_t(size) == bytes) return buffer;
    glDeleteBuffers(1, &buffer);
    printf("Warning: VBO created with the wrong datasize - discarding\n");
    return 0;
}

}  // namespace

int create_vbo(ModelDataStruct* model, int replace)
{
    if (!buffers_on() || !model || model->triangle_count < 0) return -1;
    if (int64_t(model->triangle_count) * 3 * int64_t(kPositionBytes + kLitBytes + kColorBytes) > INT32_MAX) return -1;
    VboRecord record = {0, 3 * model->triangle_count, has_lit_data(*model), has_colors(*model)};
    record.buffer = make_buffer(record);
    if (record.buffer == 0) return -1;
    int id = replace;
    if (replace < 0 || size_t(replace) >= vboList.size()) {
        vboList.push_back(record);
        id = int(vboList.size()) - 1;
    } else {
        unload_vbo(replace);
        vboList[size_t(replace)] = record;
    }
    update_vbo(id, model);
    return id;
}

int update_vbo(int vbo, ModelDataStruct* model)
{
    const VboRecord* record = buffers_on() && model ? record_of(vbo) : nullptr;
    if (!record || !update_allowed(*record, *model)) return 0;
    glBindBuffer(GL_ARRAY_BUFFER, record->buffer);
    uint8_t* data = static_cast<uint8_t*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
    if (!data) {
        printf("Warning: vbo %i could not be mapped for writing - nothing uploaded\n", vbo);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return 0;
    }
    write_positions(data, *model);
    if (record->lit) write_lit_block(data + lit_offset(*record), *model);
    if (record->colored) write_color_block(data + color_offset(*record), *model);
    glUnmapBuffer(GL_ARRAY_BUFFER);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return 1;
}

int render_vbo(int vbo)
{
    const VboRecord* record = buffers_on() ? record_of(vbo) : nullptr;
    if (!record) return 0;
    count_draw(record->vertex_count, record->vertex_count / 3);
    device().counters.vbo_draws += 1;
    glBindBuffer(GL_ARRAY_BUFFER, record->buffer);
    enable_arrays(*record);
    glDrawArrays(GL_TRIANGLES, 0, record->vertex_count);
    disable_arrays(*record);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return 1;
}

bool unload_vbo(int vbo)
{
    if (vbo < 0 || size_t(vbo) >= vboList.size()) {
        printf("Warning: Vbo ID %i was send an unload order, but it no longer exists\n", vbo);
        return false;
    }
    VboRecord& record = vboList[size_t(vbo)];
    if (record.buffer == 0) return false;
    if (device().window_open) glDeleteBuffers(1, &record.buffer);
    record = {0, 0, false, false};
    return true;
}

// Display lists: GL names them from 1; 0 is never a list.

int create_display_list()
{
    if (!lists_on()) return -1;
    const GLuint list = glGenLists(1);
    return list == 0 ? -1 : int(list);
}

void begin_display_list(int list)
{
    if (lists_on() && list > 0) glNewList(GLuint(list), GL_COMPILE);
}

void end_display_list()
{
    if (lists_on()) glEndList();
}

void delete_display_list(int list)
{
    if (lists_on() && list > 0) glDeleteLists(GLuint(list), 1);
}

void call_display_list(uint16_t list)
{
    if (!lists_on()) return;
    device().counters.draw_calls += 1;
    device().counters.display_list_calls += 1;
    glCallList(list);
}

// The slots stay, empty, so an id kept from this window never names a
// buffer of a later one.
void release_vbos()
{
    for (VboRecord& record : vboList) {
        if (record.buffer != 0) glDeleteBuffers(1, &record.buffer);
        record = {0, 0, false, false};
    }
}

void connect_buffer_slots(graphics_interface* table)
{
    // vertex buffers
    table->create_vbo = create_vbo;
    table->update_vbo = update_vbo;
    table->render_vbo = render_vbo;
    table->unload_vbo = unload_vbo;
    // display lists
    table->create_display_list = create_display_list;
    table->begin_display_list = begin_display_list;
    table->end_display_list = end_display_list;
    table->delete_display_list = delete_display_list;
    table->call_display_list = call_display_list;
}

}  // namespace trellis
