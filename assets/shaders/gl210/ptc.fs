// Sprite quads: premultiplied texel tinted by the vertex colour and the batch
// colour.
#version 120
uniform sampler2D textureSampler;
uniform vec4 color;
varying vec2 uv;
varying vec4 vertexColor;

void main() {
  gl_FragColor = texture2D(textureSampler, uv) * vertexColor * color;
}
