#version 110
// Screen-space drawing: one texture, tinted by the vertex colour.
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
