// Lit models: one fixed directional light plus ambient.
#version 120
uniform vec4 color;
varying vec3 normal;

const vec3 LIGHT = vec3(0.267, 0.535, 0.802);  // normalised (1, 2, 3)
const float AMBIENT = 0.3;

void main() {
  float diffuse = max(dot(normalize(normal), LIGHT), 0.0);
  gl_FragColor = vec4(color.rgb * (AMBIENT + (1.0 - AMBIENT) * diffuse), color.a);
}
