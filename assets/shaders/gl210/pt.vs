// Textured rectangle: positions are already in world space.
#version 120
attribute vec3 in_position;
attribute vec2 in_uv;
uniform mat4 projection;
varying vec2 uv;

void main() {
  uv = in_uv;
  gl_Position = projection * vec4(in_position, 1.0);
}
