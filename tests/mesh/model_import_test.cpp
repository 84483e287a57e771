// Model import through the real meshferry plug-in: the FBX word scanner's
// results, damaged FBX files, mesh-set lookups and the jmf cache, and the
// game's generated model files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "base/physics.h"
#include "base/plugin.h"
#include "scene/mesh_set.h"
#include "tests/support/printed.h"
#include "tests/support/scratch.h"

namespace {

const std::string kGameModels = std::string(ZR_GAME_DIR) + "/data/zorblitRally/";

// One model in the text form meshferry reads; lists are written as given.
struct FbxModel {
    std::string name = "\"Model::quad\",";
    std::string vertices = "0,0,0,1,0,0,1,1,0,0,1,0";
    std::string polygons = "0,1,2,-4";
    std::string normals = "0,0,2,0,0,1,0,0,1,0,0,1";
    std::string uvs = "0.25,0.75,1,0,1,1,0,1";
    std::string uv_indices = "0,1,2,3";
    std::string materials = "0";
    std::string normal_mapping = "ByPolygonVertex";
    std::string uv_reference = "IndexToDirect";
    bool geometric_scaling = true;
    std::string pre_rotation = "0,0,0";
    std::string geometric_translation = "0,0,0";
    std::string geometric_rotation = "0,0,0";
    std::string geometric_scaling_value = "1,1,1";
    std::string translation = "0,0,0";
    std::string rotation = "0,0,0";
    std::string scaling = "1,1,1";
};

std::string fbx_text(const std::vector<FbxModel>& models, const std::string& before_second = "")
{
    std::string text = "; FBX 6.1.0 project file\nObjects:  {\n";
    for (size_t i = 0; i < models.size(); ++i) {
        const FbxModel& m = models[i];
        if (i == 1) text += before_second;
        text += "Model: " + m.name + " \"Mesh\" {\nProperties60:  {\n";
        text += "Property: \"PreRotation\", \"Vector3D\", \"\"," + m.pre_rotation + "\n";
        text += "Property: \"GeometricTranslation\", \"Vector3D\", \"\"," + m.geometric_translation + "\n";
        text += "Property: \"GeometricRotation\", \"Vector3D\", \"\"," + m.geometric_rotation + "\n";
        if (m.geometric_scaling)
            text += "Property: \"GeometricScaling\", \"Vector3D\", \"\"," + m.geometric_scaling_value + "\n";
        text += "Property: \"Lcl Translation\", \"Lcl Translation\", \"A+\"," + m.translation + "\n";
        text += "Property: \"Lcl Rotation\", \"Lcl Rotation\", \"A+\"," + m.rotation + "\n";
        text += "Property: \"Lcl Scaling\", \"Lcl Scaling\", \"A+\"," + m.scaling + "\n}\n";
        text += "Vertices: " + m.vertices + "\nPolygonVertexIndex: " + m.polygons + "\nGeometryVersion: 124\n";
        text += "LayerElementNormal: 0 {\nMappingInformationType: \"" + m.normal_mapping + "\"\n";
        text += "ReferenceInformationType: \"Direct\"\nNormals: " + m.normals + "\n}\n";
        text += "LayerElementUV: 0 {\nMappingInformationType: \"ByPolygonVertex\"\n";
        text += "ReferenceInformationType: \"" + m.uv_reference + "\"\nUV: " + m.uvs + "\nUVIndex: " + m.uv_indices +
                "\n}\n";
        text += "LayerElementMaterial: 0 {\nMappingInformationType: \"ByPolygon\"\n";
        text += "ReferenceInformationType: \"IndexToDirect\"\nMaterials: " + m.materials + "\n}\n}\n";
    }
    return text + "}\nTakes:  {\n}\n";
}

class ModelImportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static ScratchFolder plugins;
        make_folder(plugins / "plugin");
        copy_file(std::string(ZR_GAME_DIR) + "/plugin/meshferry.so", plugins / "plugin/meshferry.so");
        __mCore_parse_folder_for_plugins((plugins / "plugin").c_str());
    }
    std::string import(const std::string& text, const std::string& file = "model.fbx")
    {
        write_file(scratch / file, text);
        return printed([&] { set.import_model(scratch / file); });
    }
    uint32_t triangles(uint32_t mesh = 0) const { return set.meshes.get(mesh)->triangle_count; }

    ScratchFolder scratch;
    ctMeshSet set;
};

TEST_F(ModelImportTest, QuadFansIntoTwoTrianglesWithFlippedUvs)
{
    EXPECT_EQ(import(fbx_text({FbxModel()})), "");
    ASSERT_EQ(set.meshes.count(), 1u);
    ctMesh* mesh = set.meshes.get(0);
    EXPECT_STREQ(mesh->name, "Model::quad");
    EXPECT_EQ(set.find_mesh("quad"), mesh);
    EXPECT_EQ(set.find_mesh("Model::quad"), mesh);
    EXPECT_EQ(set.find_mesh("wheel"), nullptr);
    ASSERT_EQ(mesh->triangle_count, 2u);
    const uint32_t expected[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(mesh->vertex_indices[i], expected[i]);
        EXPECT_EQ(mesh->normal_indices[i], expected[i]);
        EXPECT_EQ(mesh->uv_indices[i], expected[i]);
    }
    EXPECT_EQ(mesh->uvs[0].x, 0.25);
    EXPECT_EQ(mesh->uvs[0].y, -0.75);
    EXPECT_DOUBLE_EQ(mesh->normals[0].z, 1.0);  // normalised
    ASSERT_TRUE(mesh->has_triangle_block());
    EXPECT_EQ(mesh->group_count, 1u);
    EXPECT_DOUBLE_EQ(mesh->face_normals[0].z, 1.0);
    EXPECT_DOUBLE_EQ(mesh->face_centres[0].x, 2.0 / 3);
}

// Vertices 1 and 2 of the quad are (1, 0, 0) and (1, 1, 0); its first normal
// is (0, 0, 1). The rotations, worked by hand: the file's rotation (a, b, c)
// turns by yaw(-c), pitch(a), roll(-b) and its pre-rotation by yaw(b),
// pitch(a), roll(c), each applied to the vector last first; its geometric
// rotation by pitch(a), yaw(-b), roll(-c) in that order. yaw(90) takes
// (1, 0, 0) to (0, 0, 1), pitch(90) takes (0, 1, 0) to (0, 0, 1), roll(90)
// takes (1, 0, 0) to (0, 1, 0).
TEST_F(ModelImportTest, TransformsMoveVerticesAndTurnNormals)
{
    ASSERT_TRUE(__mPhysics_open());
    using Field = std::string FbxModel::*;
    const Field kNone = nullptr;
    const struct {
        const char* what;
        Field field;
        const char* value;
        Field second_field;
        const char* second_value;
        cVector3D vertex1, vertex2, normal;
    } cases[] = {
        {"translation", &FbxModel::translation, "1,2,3", kNone, "", {2, 2, 3}, {2, 3, 3}, {0, 0, 1}},
        {"geometric translation", &FbxModel::geometric_translation, "1,2,3", kNone, "", {2, 3, -2}, {2, 4, -2},
         {0, 0, 1}},
        {"scaling", &FbxModel::scaling, "2,3,4", kNone, "", {2, 0, 0}, {2, 3, 0}, {0, 0, 1}},
        {"geometric scaling", &FbxModel::geometric_scaling_value, "-1,1,1", kNone, "", {-1, 0, 0}, {-1, 1, 0},
         {0, 0, 1}},
        {"rotation 90 about x", &FbxModel::rotation, "90,0,0", kNone, "", {1, 0, 0}, {1, 0, 1}, {0, -1, 0}},
        {"rotation 90 about y", &FbxModel::rotation, "0,90,0", kNone, "", {0, -1, 0}, {1, -1, 0}, {0, 0, 1}},
        {"rotation 90 about z", &FbxModel::rotation, "0,0,90", kNone, "", {0, 0, -1}, {0, 1, -1}, {1, 0, 0}},
        {"rotation about x, then z", &FbxModel::rotation, "90,0,90", kNone, "", {0, 0, -1}, {1, 0, -1},
         {0, -1, 0}},
        {"pre-rotation 90 about x", &FbxModel::pre_rotation, "90,0,0", kNone, "", {1, 0, 0}, {1, 0, 1}, {0, -1, 0}},
        {"pre-rotation 90 about y", &FbxModel::pre_rotation, "0,90,0", kNone, "", {0, 0, 1}, {0, 1, 1}, {-1, 0, 0}},
        {"pre-rotation 90 about z", &FbxModel::pre_rotation, "0,0,90", kNone, "", {0, 1, 0}, {-1, 1, 0}, {0, 0, 1}},
        {"geometric rotation 90 about x", &FbxModel::geometric_rotation, "90,0,0", kNone, "", {1, 0, 0}, {1, 0, 1},
         {0, -1, 0}},
        {"geometric rotation 90 about y", &FbxModel::geometric_rotation, "0,90,0", kNone, "", {0, 0, -1},
         {0, 1, -1}, {1, 0, 0}},
        {"geometric rotation 90 about z", &FbxModel::geometric_rotation, "0,0,90", kNone, "", {0, -1, 0},
         {1, -1, 0}, {0, 0, 1}},
        {"geometric rotation about y, then x", &FbxModel::geometric_rotation, "90,90,0", kNone, "", {0, 1, 0},
         {0, 1, 1}, {1, 0, 0}},
        {"pre-rotation before the geometric scaling", &FbxModel::pre_rotation, "0,0,90",
         &FbxModel::geometric_scaling_value, "2,1,1", {0, 1, 0}, {-2, 1, 0}, {0, 0, 1}},
    };
    for (const auto& c : cases) {
        FbxModel model;
        model.*c.field = c.value;
        if (c.second_field) model.*c.second_field = c.second_value;
        import(fbx_text({model}));
        ASSERT_EQ(set.meshes.count(), 1u) << c.what;
        const ctMesh* mesh = set.meshes.get(0);
        // A turn takes the table sine of an angle in single-precision radians.
        const bool turned =
            c.field == &FbxModel::rotation || c.field == &FbxModel::pre_rotation || c.field == &FbxModel::geometric_rotation;
        const double tolerance = turned ? 1e-4 : 1e-9;
        const auto expect_near = [&](const cVector3D& actual, const cVector3D& expected, const char* which) {
            EXPECT_NEAR(actual.x, expected.x, tolerance) << c.what << ", " << which;
            EXPECT_NEAR(actual.y, expected.y, tolerance) << c.what << ", " << which;
            EXPECT_NEAR(actual.z, expected.z, tolerance) << c.what << ", " << which;
        };
        expect_near(mesh->vertices[1], c.vertex1, "vertex 1");
        expect_near(mesh->vertices[2], c.vertex2, "vertex 2");
        expect_near(mesh->normals[0], c.normal, "normal");
    }
    __mPhysics_close();
}

TEST_F(ModelImportTest, MaterialsSplitTheModelIntoNamedMeshes)
{
    FbxModel two;
    two.vertices = "0,0,0,1,0,0,1,1,0,5,5,5,6,5,5,6,6,5";
    two.polygons = "0,1,-3,3,4,-6";
    two.normals = "0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1";
    two.uv_indices = "0,1,2,0,1,2";
    two.materials = "0,1";
    import(fbx_text({two}));
    ASSERT_EQ(set.meshes.count(), 2u);
    EXPECT_STREQ(set.meshes.get(0)->name, "Model::quad");
    EXPECT_STREQ(set.meshes.get(1)->name, "Model::quad2");
    EXPECT_EQ(set.meshes.get(1)->vertex_indices[0], 3u);
    EXPECT_EQ(set.find_mesh("quad2"), set.meshes.get(1));
    two.materials = "0,2";
    import(fbx_text({two}));
    ASSERT_EQ(set.meshes.count(), 3u);
    EXPECT_EQ(triangles(1), 0u);
    EXPECT_EQ(triangles(2), 1u);
    EXPECT_STREQ(set.meshes.get(2)->name, "Model::quad3");
}

TEST_F(ModelImportTest, TrianglesSharingVerticesShareAGroup)
{
    FbxModel model;
    model.vertices = "0,0,0,1,0,0,0,1,0,5,0,0,6,0,0,5,1,0,5,0,0";
    model.polygons = "0,1,-3,3,4,-6,4,5,-7,0,0,-1";
    model.normals = "0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1";
    model.uv_indices = "0,0,0,0,0,0,0,0,0,0,0,0";
    import(fbx_text({model}));
    ASSERT_EQ(triangles(), 4u);
    ctMesh* mesh = set.meshes.get(0);
    EXPECT_EQ(mesh->group_count, 2u);
    EXPECT_EQ(mesh->triangle_groups[0], 0);
    EXPECT_EQ(mesh->triangle_groups[1], 1);
    EXPECT_EQ(mesh->triangle_groups[2], 1);
    EXPECT_EQ(mesh->triangle_groups[3], 0);
    // The degenerate triangle 0, 0, 0 has a zero normal.
    EXPECT_EQ(mesh->face_normals[3].length(), 0.0);
}

TEST_F(ModelImportTest, ReadingStopsAtTakesAndAtAMissingTransform)
{
    FbxModel second;
    second.name = "\"Model::second\",";
    import(fbx_text({FbxModel(), second}, "Takes:  {\n}\n"));
    EXPECT_EQ(set.meshes.count(), 1u);
    // Without "GeometricScaling" the search runs to the end of the file.
    FbxModel unscaled;
    unscaled.geometric_scaling = false;
    import(fbx_text({unscaled}));
    EXPECT_EQ(set.meshes.count(), 0u);
}

TEST_F(ModelImportTest, DamagedFilesImportWhatIsSound)
{
    auto with = [](auto change) {
        FbxModel m;
        change(m);
        return fbx_text({m});
    };
    std::string numbers;
    for (int i = 0; i < 100000; ++i) numbers += std::to_string(i % 4) + (i % 4 == 3 ? ",-1," : ",");
    std::string crlf = fbx_text({FbxModel()});
    for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.insert(at, "\r");
    const struct {
        const char* what;
        std::string text;
        uint32_t meshes;
        uint32_t triangles;
        const char* printed;
    } cases[] = {
        {"uv indices short", with([](FbxModel& m) { m.uv_indices = "0,1"; }), 1, 0,
         "ERROR: texture and model tris count mismatch\n"},
        {"uv indices long", with([](FbxModel& m) { m.uv_indices = "0,1,2,3,0,1"; }), 1, 2,
         "ERROR: texture and model tris count mismatch\n"},
        {"normals short", with([](FbxModel& m) { m.normals = "0,0,1,0,0,1"; }), 1, 0, "ERROR: NORM count mismatch\n"},
        {"vertex index -1 in a triangle", with([](FbxModel& m) { m.polygons = "0,1,2,-4,0,-1,-3"; }), 1, 2, nullptr},
        {"huge vertex index", with([](FbxModel& m) { m.polygons = "0,1,99999999999,-4"; }), 1, 0, nullptr},
        {"uv index -1", with([](FbxModel& m) { m.uv_indices = "0,1,2,-1"; }), 1, 1, nullptr},
        {"index past 32767", with([](FbxModel& m) { m.polygons = "0,1,40000,-4"; }), 1, 0, nullptr},
        {"unterminated last polygon", with([](FbxModel& m) { m.polygons = "0,1,2,3"; }), 1, 0, nullptr},
        {"huge material index", with([](FbxModel& m) { m.materials = "2000000000"; }), 256, 2, nullptr},
        {"negative material index", with([](FbxModel& m) { m.materials = "-5"; }), 1, 2, nullptr},
        {"two-character model name", with([](FbxModel& m) { m.name = "\"x"; }), 1, 2, nullptr},
        {"long model name", with([](FbxModel& m) { m.name = "\"" + std::string(100, 'n') + "\","; }), 1, 2, nullptr},
        {"100,000-number line",
         with([&](FbxModel& m) {
             m.polygons = numbers;
             m.normals = "0,0,1";
             m.uv_indices = "0";
         }),
         1, 0, "ERROR: NORM count mismatch\n"},
        {"normals by vertex", with([](FbxModel& m) { m.normal_mapping = "ByVertex"; }), 1, 2,
         "ERROR: Unsupported Geometry format in Model::quad\n"},
        {"uvs direct", with([](FbxModel& m) { m.uv_reference = "Direct"; }), 1, 2,
         "ERROR: Unsupported Geometry format in Model::quad\n"},
        {"CRLF line ends", crlf, 1, 2, ""},
        {"empty file", "", 0, 0, ""},
        {"only a model key", "Model:", 0, 0, ""},
        {"lists missing", "Model: \"Model::a\", Vertices: 1,2,3", 0, 0, ""},
    };
    for (const auto& c : cases) {
        const std::string out = import(c.text);
        ASSERT_EQ(set.meshes.count(), c.meshes) << c.what << "\n" << out;
        if (c.meshes) {
            EXPECT_EQ(triangles(c.meshes - 1), c.triangles) << c.what;
        }
        if (c.printed) {
            EXPECT_NE(out.find(c.printed), std::string::npos) << c.what << "\n" << out;
        }
    }
    import(with([](FbxModel& m) { m.name = "\"" + std::string(100, 'n') + "\","; }));
    EXPECT_EQ(std::string(set.meshes.get(0)->name), std::string(63, 'n'));
}

TEST_F(ModelImportTest, ExtensionsChooseTheReader)
{
    EXPECT_EQ(import(fbx_text({FbxModel()}), "upper.Fbx"), "");
    EXPECT_EQ(set.meshes.count(), 1u);
    EXPECT_EQ(import("v 1 2 3\n", "model.obj"), "WARNING: could not load model data from the format OBJ\n");
    EXPECT_EQ(set.meshes.count(), 0u);
    const std::string long_extension = "model." + std::string(40, 'x');
    const std::string out = import("", long_extension);
    EXPECT_NE(out.find("format " + std::string(31, 'X') + "\n"), std::string::npos) << out;
    EXPECT_EQ(printed([&] { set.import_model(scratch / "missing.jmf"); }).find("ERROR: File does not exist "), 0u);
}

TEST_F(ModelImportTest, ReimportReplacesMeshesAndTheirNames)
{
    import(fbx_text({FbxModel()}));
    FbxModel other;
    other.name = "\"Model::other\",";
    import(fbx_text({other}));
    EXPECT_EQ(set.meshes.count(), 1u);
    EXPECT_EQ(set.find_mesh("quad"), nullptr);
    EXPECT_EQ(set.find_mesh("other"), set.meshes.get(0));
}

TEST_F(ModelImportTest, ExportWritesOnlyJmfAndReportsFailures)
{
    import(fbx_text({FbxModel()}));
    EXPECT_EQ(printed([&] { EXPECT_FALSE(set.export_model(scratch / "copy.fbx")); }),
              "WARNING: skipping export - only supports jmf format " + (scratch / "copy.fbx") + "\n");
    EXPECT_FALSE(file_exists(scratch / "copy.fbx"));
    const std::string nowhere = scratch / "no/such/folder/copy.jmf";
    EXPECT_NE(printed([&] { EXPECT_FALSE(set.export_model(nowhere)); }).find("ERROR: "), std::string::npos);
    EXPECT_FALSE(file_exists(nowhere));
    ASSERT_TRUE(set.export_model(scratch / "copy.JMF"));
    EXPECT_FALSE(any_file_ending_in(scratch.path(), ".tmp"));
    ctMeshSet back;
    EXPECT_TRUE(back.import_model(scratch / "copy.JMF"));
    EXPECT_EQ(back.find_mesh("quad")->triangle_count, 2u);
}

TEST_F(ModelImportTest, CachedModelIsImportedOnceThenReadFromJmf)
{
    copy_file(kGameModels + "carts/Foxcart.fbx", scratch / "Foxcart.fbx");
    const std::string stem = scratch / "Foxcart";
    EXPECT_EQ(printed([&] { EXPECT_TRUE(import_cached_model(set, stem)); }), "");
    ASSERT_TRUE(file_exists(stem + ".jmf"));
    const std::string cached = read_file(stem + ".jmf");
    remove((stem + ".fbx").c_str());
    ctMeshSet again;
    EXPECT_EQ(printed([&] { EXPECT_TRUE(import_cached_model(again, stem)); }), "");
    EXPECT_EQ(again.meshes.count(), set.meshes.count());
    EXPECT_NE(again.find_mesh("pipes"), nullptr);

    // A cut jmf gives way to the model file, which is cached again.
    copy_file(kGameModels + "carts/Foxcart.fbx", stem + ".fbx");
    write_file(stem + ".jmf", cached.substr(0, cached.size() / 2));
    ctMeshSet repaired;
    const std::string out = printed([&] { EXPECT_TRUE(import_cached_model(repaired, stem)); });
    EXPECT_NE(out.find("ERROR: Damaged mesh file"), std::string::npos) << out;
    EXPECT_EQ(read_file(stem + ".jmf"), cached);

    EXPECT_EQ(printed([&] { EXPECT_FALSE(import_cached_model(repaired, scratch / "none")); }),
              "ERROR: File not found: " + (scratch / "none") + ".fbx\n");
}

// A cache that holds no mesh, or more than its meshes, is damaged too: a
// crash can leave zeros of a write never flushed. The model is imported again.
TEST_F(ModelImportTest, ACacheWithoutMeshesOrWithBytesAfterThemIsImportedAgain)
{
    copy_file(kGameModels + "carts/Foxcart.fbx", scratch / "Foxcart.fbx");
    const std::string stem = scratch / "Foxcart";
    ASSERT_TRUE(import_cached_model(set, stem));
    const std::string cached = read_file(stem + ".jmf");
    const struct {
        const char* what;
        std::string jmf;
        const char* damage;
    } cases[] = {
        {"zero-filled", std::string(cached.size(), '\0'), "(no mesh)"},
        {"a mesh count of 0", std::string(4, '\0'), "(no mesh)"},
        {"a byte after the last mesh", cached + "x", "(bytes after the last mesh)"},
    };
    for (const auto& c : cases) {
        write_file(stem + ".jmf", c.jmf);
        ctMeshSet again;
        bool imported = false;
        const std::string out = printed([&] { imported = import_cached_model(again, stem); });
        EXPECT_TRUE(imported) << c.what;
        EXPECT_EQ(out, "ERROR: Damaged mesh file " + stem + ".jmf " + c.damage + "\n") << c.what;
        EXPECT_EQ(again.meshes.count(), set.meshes.count()) << c.what;
        EXPECT_TRUE(read_file(stem + ".jmf") == cached) << c.what << ": the cache is not written anew";
    }
}

TEST_F(ModelImportTest, GameModelsHaveTheirNamedMeshes)
{
    const struct {
        const char* file;
        std::vector<const char*> names;
    } models[] = {
        {"carts/Foxcart.fbx", {"head", "body", "car", "pipes"}},
        {"carts/Erminecart.fbx", {"head", "body", "car", "pipes"}},
        {"extraModel/finishLine.fbx", {"base", "pole"}},
        {"extraModel/speedboost.fbx", {"speedboost"}},
    };
    for (const auto& model : models) {
        EXPECT_EQ(printed([&] { set.import_model(kGameModels + model.file); }), "") << model.file;
        EXPECT_EQ(set.meshes.count(), model.names.size()) << model.file;
        for (const char* name : model.names) {
            ctMesh* mesh = set.find_mesh(name);
            ASSERT_NE(mesh, nullptr) << model.file << " " << name;
            EXPECT_GT(mesh->triangle_count, 0u) << model.file << " " << name;
        }
    }
}

}  // namespace
