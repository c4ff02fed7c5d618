// Lit textured models: the texel tinted by the colour, lit like pn. The model
// pass samples a white 1 x 1 texture when the node names none, which leaves
// the colour exactly as pn gives it.
#version 120
uniform sampler2D textureSampler;
uniform vec4 color;
varying vec3 normal;
varying vec2 uv;

const vec3 LIGHT = vec3(0.267, 0.535, 0.802);  // normalised (1, 2, 3)
const float AMBIENT = 0.3;

void main() {
  vec4 texel = texture2D(textureSampler, uv);
  float diffuse = max(dot(normalize(normal), LIGHT), 0.0);
  gl_FragColor = vec4(texel.rgb * color.rgb * (AMBIENT + (1.0 - AMBIENT) * diffuse),
                      texel.a * color.a);
}
