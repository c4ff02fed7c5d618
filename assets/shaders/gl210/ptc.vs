// Sprite quads: world-space positions with a colour per vertex.
#version 120
attribute vec3 in_position;
attribute vec2 in_uv;
attribute vec4 in_color;
uniform mat4 projection;
varying vec2 uv;
varying vec4 vertexColor;

void main() {
  uv = in_uv;
  vertexColor = in_color;
  gl_Position = projection * vec4(in_position, 1.0);
}
