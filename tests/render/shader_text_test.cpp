// The generated GLSL texts: each a single line of fixed pieces.
#include <gtest/gtest.h>

#include <string>

#include "scene/shader_text.h"

namespace {

std::string declarations_of(std::initializer_list<const char*> names)
{
    DSParray<std::string> list;
    for (const char* name : names) list.insert(new std::string(name));
    return write_sampler_declarations(list);
}

bool before(const std::string& text, const std::string& first, const std::string& second)
{
    const size_t a = text.find(first), b = text.find(second);
    return a != std::string::npos && b != std::string::npos && a < b;
}

bool ends_with(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const char* const kFogPieces = "float fog = clamp((gl_Fog.end - gl_FogFragCoord) * gl_Fog.scale, 0.0, 1.0);"
                               "gl_FragColor = mix(gl_Fog.color, v_color * finalColor, fog);";

}  // namespace

TEST(ShaderText, UnlitVertexTextIsExactlyItsPieces)
{
    EXPECT_EQ(write_unlit_vertex_text(),
              "varying vec4 v_color;varying vec2 v_uv;void main() {v_uv = gl_MultiTexCoord0.st;v_color = gl_Color;"
              "gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;gl_FogFragCoord = gl_Position.z;}");
}

TEST(ShaderText, LitVertexTextCarriesTheTangentFrameOnlyWithANormalMap)
{
    const std::string plain = write_lit_vertex_text(false);
    EXPECT_EQ(plain.find("tiv_tangent"), std::string::npos);
    EXPECT_EQ(plain.find("v_binormal"), std::string::npos);
    EXPECT_TRUE(before(plain, "varying vec3 v_normal;", "void main() {"));

    const std::string mapped = write_lit_vertex_text(true);
    EXPECT_TRUE(before(mapped, "attribute vec3 tiv_tangent;varying vec3 v_tangent, v_binormal;", "void main() {"));
    EXPECT_TRUE(before(mapped, "v_normal = normalize(gl_NormalMatrix * gl_Normal);",
                       "v_tangent = normalize(gl_NormalMatrix * tiv_tangent);"));
    EXPECT_TRUE(before(mapped, "v_binormal = cross( v_tangent, v_normal );", "gl_Position ="));
    EXPECT_EQ(mapped.find('\n'), std::string::npos);
}

TEST(ShaderText, SamplerDeclarationsFollowTheListOrder)
{
    EXPECT_EQ(declarations_of({"texDiff", "texNorm"}),
              "uniform sampler2D texDiff;uniform sampler2D texNorm;");
    EXPECT_EQ(declarations_of({}), "");
}

TEST(ShaderText, FragmentNormalSamplesTheNamedMapWithItsTabs)
{
    EXPECT_EQ(write_fragment_normal("texNorm"),
              "vec3 get_fragment_normal(){vec4 textureNorm = texture2D(texNorm,v_uv) * 2.0 - 1.0;"
              "return v_tangent * textureNorm.x + \t   v_binormal * textureNorm.y + \t   v_normal * textureNorm.z;}");
}

TEST(ShaderText, UnlitFragmentForms)
{
    EXPECT_EQ(write_unlit_fragment(nullptr, nullptr, "texDiff", false),
              std::string("varying vec4 v_color;varying vec2 v_uv;void main() {"
                          "vec4 finalColor = texture2D(texDiff, v_uv);finalColor += gl_FrontMaterial.emission;") +
                  kFogPieces + "}");
    const std::string full = write_unlit_fragment("texPaint", "texSi", "texDiff", true);
    EXPECT_NE(full.find("vec4 finalColor = (gl_LightModel.ambient * gl_FrontMaterial.ambient) * texture2D(texDiff, "
                        "v_uv);"),
              std::string::npos);
    EXPECT_TRUE(before(full, "finalColor = (finalColor * paintMask);",
                       "finalColor += texture2D(texSi, v_uv) * gl_FrontMaterial.emission;"));
}

TEST(ShaderText, LitFragmentWithOnlyADiffuseSampler)
{
    const std::string text = write_lit_fragment("texDiff", nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(text.find("gl_FrontMaterial.ambient * diff * intensity;"), std::string::npos);
    EXPECT_NE(text.find("gl_FrontMaterial.specular * diff) * pow(NdotHV,gloss) * intensity;"), std::string::npos);
    EXPECT_NE(text.find("vec3 get_fragment_normal() { return v_normal; }"), std::string::npos);
    EXPECT_NE(text.find("float gloss = gl_FrontMaterial.shininess*0.3;"), std::string::npos);
    EXPECT_EQ(text.find("tiv_paint"), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(ShaderText, LitFragmentEndsWithTheLightFunctionAndMain)
{
    const std::string text = write_lit_fragment("texDiff", "texSpec", "texAmb", "texGloss", "texPaint", "texNorm");
    const std::string intensity_head = "float get_light_intensity( in float spotlightDotProduct ){";
    const std::string main_tail = std::string("   directional_light( intensity );}") + kFogPieces + "}";
    EXPECT_TRUE(ends_with(text, main_tail));
    EXPECT_TRUE(before(text, "void directional_light( in float intensity ) {", intensity_head));
    EXPECT_TRUE(before(text, intensity_head, "void main(){"));
    EXPECT_NE(text.find("\t\t\t\t\t\t\t\tgl_LightSource[0].linearAttenuation * lightDistance +"), std::string::npos);
    // The gloss exponent keeps its integer literal.
    EXPECT_NE(text.find("float gloss = (glossBase*glossBase*128);"), std::string::npos);
    EXPECT_TRUE(before(text, "uniform vec4 tiv_paint;", "vec3 get_fragment_normal()"));
    EXPECT_NE(text.find("amb = (amb * paintMask) + (tiv_paint * paint);"), std::string::npos);
    EXPECT_NE(text.find("gl_FrontMaterial.ambient * amb * intensity;"), std::string::npos);
    EXPECT_NE(text.find("gl_FrontMaterial.specular * spec) * pow"), std::string::npos);
}

// A positional light's vector is normalised before its length is taken, so
// its attenuation divides by the plain sum of the coefficients.
TEST(ShaderText, PositionalLightDistanceIsTheNormalisedLength)
{
    const std::string text = write_lit_fragment("texDiff", nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(before(text, "else lightToVert = normalize(gl_LightSource[0].position.xyz - v_pos);",
                       "lightDistance = length(lightToVert);"));
}
