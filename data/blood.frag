#version 410 core
// Round blood drops sized as a share of the picture's height. The picture's
// height in pixels is found from the drop itself: gl_FragCoord and
// gl_PointCoord give the drop's centre in pixels, and the vertex stage gives
// it in normalised device coordinates, which place it at a known share of
// the viewport from its bottom edge.
in float life;
in float fade;
flat in vec2 centre;
flat in float diameter;
out vec4 colour;

const float kPointPixels = 64.0; // must match blood.vert
const float kWideShape = 9.0 / 16.0; // height per width, used only for drops in the bottom tenth

void main()
{
    // Pixels from the point's centre, y up (point coordinates run downwards).
    vec2 offset = (gl_PointCoord - 0.5) * kPointPixels;
    offset.y = -offset.y;
    vec2 centrePixels = gl_FragCoord.xy - offset;
    float up = centre.y * 0.5 + 0.5, across = centre.x * 0.5 + 0.5;
    float height = up > 0.1 ? centrePixels.y / up : centrePixels.x / max(across, 0.1) * kWideShape;
    if (length(offset) > 0.5 * diameter * height)
        discard;
    colour = vec4(0.55, 0.02, 0.03, (0.35 + 0.65 * life) * fade);
}
