#version 410 core
// Fully transparent texels are discarded, so they neither cost blending nor
// write depth: a figure's empty frame never hides what is drawn after it.
uniform sampler2D img;

in vec2 uv;
out vec4 colour;

void main()
{
    // Raised arms read outside the image; nothing is there.
    if (uv.y < 0.0 || uv.y > 1.0)
        discard;
    vec4 texel = texture(img, uv);
    if (texel.a < 1.0 / 255.0)
        discard;
    colour = texel;
}
