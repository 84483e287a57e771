// The GLSL source of the generated programs: one vertex and one fragment text
// for the unlit program, and one of each for the lit program, varied by the
// samplers a material has. Every text is a single line: pieces are joined
// with nothing between them. A sampler argument may be null (none).
#pragma once

#include <string>

#include "base/containers.h"

std::string write_unlit_vertex_text();
std::string write_lit_vertex_text(bool normalMap);
// "uniform sampler2D <name>;" for each name, in list order.
std::string write_sampler_declarations(const DSParray<std::string>& names);
// The normal-map form of get_fragment_normal.
std::string write_fragment_normal(const char* normal);
std::string write_unlit_fragment(const char* paint, const char* selfIllum, const char* diffuse, bool ambientTerm);
std::string write_lit_fragment(const char* diffuse, const char* specular, const char* ambient, const char* gloss,
                               const char* paint, const char* normal);
