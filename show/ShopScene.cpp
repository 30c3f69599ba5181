#include "ShopScene.h"

#include "Backdrop.h"
#include "characters/Harlan.h"
#include "characters/ShopAssistant.h"
#include "characters/Vesna.h"
#include "engine/ResourceManager.h"

const Placement ShopScene::kHarlan = {0.5f, 0.595833f, -0.312963f, true, -0.026042f, 0.0f, 0.0f, false};
const Placement ShopScene::kVesna = {0.5f, 0.210417f, -0.348148f, true, -0.05f, 0.0f, 0.0f, false};
const Placement ShopScene::kShopAssistant = {0.5f, -0.3625f, -0.305556f, true, 0.019792f, -0.02037f, 0.0f, false};

ShopScene::ShopScene(ResourceManager* resources, int, int)
    : quad()
{
    startTime = 192.273103;
    endTime = 207.711681;
    shader = resources->getShader("default");
    spriteShader = resources->getShader("sprite");
    backdrop = resources->getTexture("computershop");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    shopAssistant = new ShopAssistant(resources);
    setCast({harlan, vesna, shopAssistant});
}

void ShopScene::draw(double time)
{
    drawBackdrop(shader, quad, backdrop);

    kHarlan.apply(*harlan);
    if (time > kTurnTime) {
        harlan->setMirrored();
        harlan->setPupilOffset(kTurnedPupilX, kTurnedPupilY);
    }
    harlan->draw(spriteShader, "img", "pmatrix");

    kVesna.draw(*vesna, spriteShader);
    kShopAssistant.draw(*shopAssistant, spriteShader);
}
