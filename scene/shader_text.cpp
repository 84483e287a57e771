// The texts are built from fixed snippets made once at start-up, so each
// generation only concatenates. Spaces and TABs inside a piece are part of it.
#include "scene/shader_text.h"

#include <initializer_list>

namespace {

std::string joined(std::initializer_list<const char*> pieces)
{
    std::string text;
    for (const char* piece : pieces)
        if (piece) text += piece;
    return text;
}

const std::string vsVaryingsBase = joined({"varying vec4 v_color;", "varying vec2 v_uv;"});
const std::string vsVaryingsLit = joined({"varying vec3 v_pos;", "varying vec3 v_normal;"});
const std::string vsTangentDeclarations =
    joined({"attribute vec3 tiv_tangent;", "varying vec3 v_tangent, v_binormal;"});
const std::string vsMainBase = joined({"v_uv = gl_MultiTexCoord0.st;", "v_color = gl_Color;"});
const std::string vsMainLit =
    joined({"v_pos = vec3(gl_ModelViewMatrix * gl_Vertex);", "v_normal = normalize(gl_NormalMatrix * gl_Normal);"});
const std::string vsMainTangent = joined({"v_tangent = normalize(gl_NormalMatrix * tiv_tangent);",
                                          "v_tangent = normalize( v_tangent - v_normal * dot(v_tangent, v_normal) );",
                                          "v_binormal = cross( v_tangent, v_normal );"});
const std::string vsMainPosition =
    joined({"gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;", "gl_FogFragCoord = gl_Position.z;"});
const std::string fsVaryingsBase = joined({"varying vec4 v_color;", "varying vec2 v_uv;"});
const std::string fsLitGlobals =
    joined({"varying vec3 v_pos;", "varying vec3 v_normal;", "vec4 finalColor = vec4(0,0,0,0);", "vec3 lightToVert;",
            "float lightDistance;", "float spotCosCutoff = -1.0;"});
const std::string fsTangentVaryings = joined({"varying vec3 v_tangent, v_binormal;"});
const std::string fsLightIntensity = joined({
    "float get_light_intensity( in float spotlightDotProduct )",
    "{",
    "float result = 1.0;",
    "float percent = 1.0;",
    "if( spotCosCutoff != -1.0 )",
    "\tpercent = (spotlightDotProduct - spotCosCutoff) / (1.0 - spotCosCutoff);",
    "float innerPercent = gl_LightSource[0].spotExponent * gl_LightSource[0].spotExponent;",
    "if( innerPercent > 0.0 && percent < innerPercent ) result = percent / innerPercent;",
    "if( lightDistance > 0.0 && result > 0.0 )",
    "{",
    "float attenuationDenominator = (gl_LightSource[0].constantAttenuation +",
    "\t\t\t\t\t\t\t\tgl_LightSource[0].linearAttenuation * lightDistance +",
    "\t\t\t\t\t\t\t\tgl_LightSource[0].quadraticAttenuation * lightDistance * lightDistance);",
    "if( attenuationDenominator != 0.0 )",
    "\tresult /= attenuationDenominator;",
    "}",
    "return result;",
    "}",
});
const std::string fsFog = joined({"float fog = clamp((gl_Fog.end - gl_FogFragCoord) * gl_Fog.scale, 0.0, 1.0);",
                                  "gl_FragColor = mix(gl_Fog.color, v_color * finalColor, fog);"});
// The light vector of a positional light is normalised before its length is
// taken, so attenuation divides by the plain sum of the coefficients.
const std::string fsLitMain = joined({
    "void main()",
    "{",
    "if( gl_LightSource[0].position.w == 0.0 ) lightToVert = gl_LightSource[0].position.xyz;",
    "else lightToVert = normalize(gl_LightSource[0].position.xyz - v_pos);",
    "lightDistance = length(lightToVert);",
    "if( gl_LightSource[0].spotCutoff != 0.0 && gl_LightSource[0].spotCutoff != 180.0 )",
    "   spotCosCutoff = cos(gl_LightSource[0].spotCutoff * 0.0174532925);",
    "float spotDotProd = dot(-lightToVert, gl_LightSource[0].spotDirection);",
    "if ( spotCosCutoff == -1.0 || spotDotProd > spotCosCutoff )",
    "{",
    "float intensity = get_light_intensity(spotDotProd);",
    "if( intensity > 0.0 )",
    "   directional_light( intensity );",
    "}",
    fsFog.c_str(),
    "}",
});

std::string texel(const char* sampler)
{
    return joined({"texture2D(", sampler, ", v_uv)"});
}

std::string paint_mask(const char* paint)
{
    return joined({"vec4 paint = texture2D(", paint, ", v_uv);",
                   "float paintMask = 1.0 - clamp(max(max(paint.r,paint.g),paint.b), 0.0, 1.0);"});
}

}  // namespace

std::string write_unlit_vertex_text()
{
    return vsVaryingsBase + "void main() {" + vsMainBase + vsMainPosition + "}";
}

std::string write_lit_vertex_text(bool normalMap)
{
    std::string text = vsVaryingsBase + vsVaryingsLit;
    if (normalMap) text += vsTangentDeclarations;
    text += "void main() {" + vsMainBase + vsMainLit;
    if (normalMap) text += vsMainTangent;
    return text + vsMainPosition + "}";
}

std::string write_sampler_declarations(const DSParray<std::string>& names)
{
    std::string text;
    for (uint32_t i = 0; i < names.count(); ++i) text += "uniform sampler2D " + *names.get(i) + ";";
    return text;
}

std::string write_fragment_normal(const char* normal)
{
    return joined({"vec3 get_fragment_normal()", "{", "vec4 textureNorm = texture2D(", normal,
                   ",v_uv) * 2.0 - 1.0;", "return v_tangent * textureNorm.x + ", "\t   v_binormal * textureNorm.y + ",
                   "\t   v_normal * textureNorm.z;", "}"});
}

std::string write_unlit_fragment(const char* paint, const char* selfIllum, const char* diffuse, bool ambientTerm)
{
    std::string text = fsVaryingsBase + "void main() {";
    if (ambientTerm)
        text += "vec4 finalColor = (gl_LightModel.ambient * gl_FrontMaterial.ambient) * " + texel(diffuse) + ";";
    else
        text += "vec4 finalColor = " + texel(diffuse) + ";";
    if (paint) text += paint_mask(paint) + "finalColor = (finalColor * paintMask);";
    if (selfIllum)
        text += "finalColor += " + texel(selfIllum) + " * gl_FrontMaterial.emission;";
    else
        text += "finalColor += gl_FrontMaterial.emission;";
    return text + fsFog + "}";
}

namespace {

// The sampled factors of the lit light function, painted when asked.
std::string lit_factors(const char* diffuse, const char* specular, const char* ambient, const char* paint)
{
    std::string text;
    if (ambient) text += "vec4 amb = vec4(1,1,1,1) * " + texel(ambient) + ";";
    text += "vec4 diff = vec4(1,1,1,1) * " + texel(diffuse) + ";";
    if (specular) text += "vec4 spec = vec4(1,1,1,1) * " + texel(specular) + ";";
    if (paint) {
        text += paint_mask(paint);
        if (ambient) text += "amb = (amb * paintMask) + (tiv_paint * paint);";
        text += "diff = (diff * paintMask) + (tiv_paint * paint);";
        if (specular) text += "spec = (spec * paintMask) + (tiv_paint * paint);";
    }
    return text;
}

// The exponent line of a gloss map is kept as the renderers have always had
// it; no set of the game declares a gloss sampler.
std::string gloss_line(const char* gloss)
{
    if (!gloss) return "float gloss = gl_FrontMaterial.shininess*0.3;";
    return joined({"vec4 glossTex = texture2D(", gloss,
                   ", v_uv); float glossBase = max(max(glossTex.r,glossTex.g),glossTex.b);",
                   "float gloss = (glossBase*glossBase*128);"});
}

}  // namespace

std::string write_lit_fragment(const char* diffuse, const char* specular, const char* ambient, const char* gloss,
                               const char* paint, const char* normal)
{
    std::string text = fsVaryingsBase + fsLitGlobals;
    if (normal) text += fsTangentVaryings;
    if (paint) text += "uniform vec4 tiv_paint;";
    text += normal ? write_fragment_normal(normal) : std::string("vec3 get_fragment_normal() { return v_normal; }");
    text += "void directional_light( in float intensity ) {";
    text += "vec3 f_normal = get_fragment_normal();";
    text += gloss_line(gloss);
    text += lit_factors(diffuse, specular, ambient, paint);
    text += "finalColor += gl_LightSource[0].ambient * gl_FrontMaterial.ambient * ";
    text += ambient ? "amb" : "diff";
    text += " * intensity;";
    text += "float NdotL, NdotHV;";
    text += "NdotL = max( dot(f_normal, lightToVert), 0.0 );";
    text += "if( NdotL > 0.0 )";
    text += "{";
    text += "  finalColor += (gl_LightSource[0].diffuse * gl_FrontMaterial.diffuse * diff) * NdotL * intensity;";
    text += "  vec3 reflection = normalize(reflect(lightToVert, f_normal));";
    text += "  NdotHV = max(dot(normalize(v_pos), reflection),0.0);";
    text += "  if( NdotHV > 0.0 )";
    text += "     finalColor += (gl_LightSource[0].specular * gl_FrontMaterial.specular * ";
    text += specular ? "spec" : "diff";
    text += ") * pow(NdotHV,gloss) * intensity;";
    text += "}";
    text += "}";
    return text + fsLightIntensity + fsLitMain;
}
