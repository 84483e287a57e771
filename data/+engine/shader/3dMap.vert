#version 110
// Scene drawing: a texture map lit by the first fixed-function light and the
// ambient light, fogged linearly with distance from the eye.
varying vec3 normal;
varying vec3 eyePosition;

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    normal = normalize(gl_NormalMatrix * gl_Normal);
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_FogFragCoord = length(eye.xyz);
    gl_Position = ftransform();
}
