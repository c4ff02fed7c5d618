// Text: the glyph's coverage scales the colour, all four channels, as a
// `color` tints a premultiplied texture.
#version 120
uniform sampler2D textureSampler;
varying vec2 uv;
varying vec4 textColor;

void main() {
  gl_FragColor = texture2D(textureSampler, uv).a * textColor;
}
