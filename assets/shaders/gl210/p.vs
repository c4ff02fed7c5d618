// Inline vertex lists: positions in model space.
#version 120
attribute vec3 in_position;
uniform mat4 transform;
uniform mat4 projection;

void main() {
  gl_Position = projection * transform * vec4(in_position, 1.0);
}
