#version 110
uniform sampler2D texDiff;

void main()
{
    gl_FragColor = texture2D(texDiff, gl_TexCoord[0].st) * gl_Color;
}
