// A screen effect for a node that shows a render target: the picture wobbles,
// turns green, gets scan lines and darker corners. Besides the texture pass's
// own uniforms (textureSampler, color, width, height; projection in the vertex
// shader) it reads `time`, which the node supplies through its `uniforms`.
#version 120
uniform sampler2D textureSampler;
uniform vec4 color;
uniform float height;
uniform float time;
varying vec2 uv;

void main() {
  vec2 wobbled = uv + vec2(sin(uv.y * 30.0 + time * 4.0) * 0.004, 0.0);
  vec4 texel = texture2D(textureSampler, wobbled);
  float grey = dot(texel.rgb, vec3(0.299, 0.587, 0.114));
  vec3 tinted = mix(texel.rgb, grey * vec3(0.55, 1.0, 0.6), 0.75);
  float scan = 0.8 + 0.2 * sin(uv.y * height * 3.14159);
  vec2 fromCentre = uv - 0.5;
  float vignette = clamp(1.0 - dot(fromCentre, fromCentre) * 1.6, 0.0, 1.0);
  // Premultiplied output: the target's alpha (clear black where nothing was
  // drawn) scales the colour too.
  gl_FragColor = vec4(tinted * scan * vignette, 1.0) * texel.a * color;
}
