#version 410 core
// Blood drops. Each particle moves in a straight line on the CPU from the
// particle system's origin; here the spray is moved to the rich man's neck,
// where his head slides away, and the drops fall under gravity by their age.
// Drops are drawn in front of every figure, whatever their stored z. Their
// size is a share of the picture's height, worked out per fragment in
// blood.frag, so each point is drawn at kPointPixels and cut round there.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 velocity;
layout(location = 2) in float birthTime;
layout(location = 3) in float expiryTime;

uniform mat4 pmatrix;
uniform float time;

out float life;              // 1 at birth, 0 at expiry
out float fade;              // 1 while the spray runs, down to 0 as it stops
flat out vec2 centre;        // the drop's centre in normalised device coordinates
flat out float diameter;     // the drop's diameter as a share of the picture's height

const vec2 kSpawn = vec2(0.605417, -0.220259); // where the particle system spawns drops
const vec2 kNeck = vec2(0.655, -0.205);         // the rich man's neck as he lies, from 263 s on
const float kGravity = 0.9;                     // clip units per second squared
const float kFrontDepth = -0.5;
const float kSprayEnd = 271.472;                // the party scene stops drawing the spray
const float kFadeSeconds = 0.9;                 // the drops fade out over the spray's last stretch
const float kPointPixels = 64.0;                // must match blood.frag

void main()
{
    float age = max(time - birthTime, 0.0);
    float span = max(expiryTime - birthTime, 0.001);
    life = clamp(1.0 - age / span, 0.0, 1.0);
    fade = 1.0 - smoothstep(kSprayEnd - kFadeSeconds, kSprayEnd - 0.03, time);
    vec3 p = position;
    p.xy += kNeck - kSpawn;
    p.y -= kGravity * age * age;
    p.x += velocity.x * age * 4.0;
    vec4 placed = pmatrix * vec4(p.xy, 0.0, 1.0);
    centre = placed.xy / placed.w;
    diameter = mix(0.004, 0.013, life);
    gl_Position = vec4(placed.xy, kFrontDepth, placed.w);
    gl_PointSize = kPointPixels;
}
