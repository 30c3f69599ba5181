#version 410 core
in float life;
out vec4 colour;

void main()
{
    // Round drops: discard the corners of the point sprite.
    vec2 d = gl_PointCoord * 2.0 - 1.0;
    if (dot(d, d) > 1.0)
        discard;
    colour = vec4(0.55, 0.02, 0.03, 0.35 + 0.65 * life);
}
