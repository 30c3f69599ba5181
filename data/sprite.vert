#version 410 core
// One part of a cut-out figure. Every part image covers the whole figure
// frame; "pmatrix" places the frame, "zscore" is the part's depth (smaller
// is nearer), "mirror" flips the image left to right inside its quad.
//
// Raised arms ("up" = 1): the arms image is reflected about the shoulder
// line, the row of the figure frame where the arms meet the body. Arms that
// hang straight down below that line then point straight up above it.
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 pmatrix;
uniform float zscore;
uniform int mirror;
uniform int up;

// The shoulder line, as a texture coordinate: 0 is the top of the figure
// frame, 1 its bottom. 0.30 is row 238.5 of the 511x795 frame of
// content/art/figures: every sleeve starts on that row and every hand ends
// above row 477 (twice the line), so raised arms stay inside the frame.
// A uniform only so that the drawing code can read it: nothing sets it.
uniform float shoulderLine = 0.30;

out vec2 uv;

void main()
{
    vec2 t = texCoord;
    if (mirror == 1)
        t.x = 1.0 - t.x;
    if (up == 1)
        t.y = 2.0 * shoulderLine - t.y;
    uv = t;
    vec4 p = pmatrix * vec4(position, 0.0, 1.0);
    gl_Position = vec4(p.xy, zscore, p.w);
}
