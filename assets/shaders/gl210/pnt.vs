// Lit textured models: like pn; the model pass binds no sampler, so the uv
// attribute is accepted but not sampled.
#version 120
attribute vec3 in_position;
attribute vec3 in_normal;
attribute vec2 in_uv;
uniform mat4 transform;
uniform mat4 normalTransform;
uniform mat4 projection;
varying vec3 normal;

void main() {
  normal = (normalTransform * vec4(in_normal, 0.0)).xyz;
  gl_Position = projection * transform * vec4(in_position, 1.0);
}
