#version 410 core
// Blood drops: each particle moves in a straight line on the CPU; here they
// fall under gravity by their age, shrink and fade over their life. Drops
// are drawn in front of every figure, whatever their stored z.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 velocity;
layout(location = 2) in float birthTime;
layout(location = 3) in float expiryTime;

uniform mat4 pmatrix;
uniform float time;

out float life;

const float kGravity = 0.9;   // clip units per second squared
const float kFrontDepth = -0.5;

void main()
{
    float age = max(time - birthTime, 0.0);
    float span = max(expiryTime - birthTime, 0.001);
    life = clamp(1.0 - age / span, 0.0, 1.0);
    vec3 p = position;
    p.y -= kGravity * age * age;
    p.x += velocity.x * age * 4.0;
    vec4 placed = pmatrix * vec4(p.xy, 0.0, 1.0);
    gl_Position = vec4(placed.xy, kFrontDepth, placed.w);
    gl_PointSize = mix(4.0, 14.0, life);
}
