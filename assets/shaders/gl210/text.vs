// Text: world-space glyph corners with the text's colour per vertex.
#version 120
attribute vec3 in_position;
attribute vec2 in_uv;
attribute vec4 in_color;
uniform mat4 projection;
varying vec2 uv;
varying vec4 textColor;

void main() {
  uv = in_uv;
  textColor = in_color;
  gl_Position = projection * vec4(in_position, 1.0);
}
