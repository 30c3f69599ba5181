#version 410 core
uniform sampler2D img;

in vec2 uv;
out vec4 colour;

void main()
{
    colour = texture(img, uv);
}
