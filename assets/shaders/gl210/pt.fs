// Textured rectangle: textures are premultiplied, so the tint scales all four
// channels.
#version 120
uniform sampler2D textureSampler;
uniform vec4 color;
varying vec2 uv;

void main() {
  gl_FragColor = texture2D(textureSampler, uv) * color;
}
