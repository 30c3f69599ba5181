#version 410 core
// Backdrop: the quad's corners pass through unchanged and cover the
// viewport. The picture sits at the far end of the depth range (0.995 after
// the viewport transform) so that every figure, whose depths lie between
// 0.082 and 0.11 in clip space, passes the less-than test in front of it.
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;

out vec2 uv;

void main()
{
    uv = texCoord;
    gl_Position = vec4(position, 0.99, 1.0);
}
