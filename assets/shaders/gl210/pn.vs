// Lit models: world-space normal for the fragment stage.
#version 120
attribute vec3 in_position;
attribute vec3 in_normal;
uniform mat4 transform;
uniform mat4 normalTransform;
uniform mat4 projection;
varying vec3 normal;

void main() {
  normal = (normalTransform * vec4(in_normal, 0.0)).xyz;
  gl_Position = projection * transform * vec4(in_position, 1.0);
}
