// Lit textured models: world-space normal and the texture coordinate for the
// fragment stage.
#version 120
attribute vec3 in_position;
attribute vec3 in_normal;
attribute vec2 in_uv;
uniform mat4 transform;
uniform mat4 normalTransform;
uniform mat4 projection;
varying vec3 normal;
varying vec2 uv;

void main() {
  normal = (normalTransform * vec4(in_normal, 0.0)).xyz;
  uv = in_uv;
  gl_Position = projection * transform * vec4(in_position, 1.0);
}
