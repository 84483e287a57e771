#version 110
uniform sampler2D texDiff;
varying vec3 normal;
varying vec3 eyePosition;

void main()
{
    vec3 n = normalize(normal);
    vec4 lightPosition = gl_LightSource[0].position;
    vec3 toLight = lightPosition.w == 0.0 ? normalize(lightPosition.xyz)
                                          : normalize(lightPosition.xyz - eyePosition);
    float diffuse = max(dot(n, toLight), 0.0);
    vec4 lit = gl_LightModel.ambient + gl_LightSource[0].diffuse * diffuse;
    vec4 color = texture2D(texDiff, gl_TexCoord[0].st) * gl_Color * vec4(lit.rgb, 1.0);
    float fog = clamp((gl_Fog.end - gl_FogFragCoord) * gl_Fog.scale, 0.0, 1.0);
    gl_FragColor = vec4(mix(gl_Fog.color.rgb, color.rgb, fog), color.a);
}
