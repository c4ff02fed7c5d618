// Diagnostic triangle: positions arrive already in clip space.
#version 120
attribute vec3 in_position;

void main() {
  gl_Position = vec4(in_position, 1.0);
}
