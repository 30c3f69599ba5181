#include "MyDemo.h"

#include "engine/Gl.h"

#include "AmigaOnDeskScene.h"
#include "CemetryDayScene.h"
#include "CemetryNightScene.h"
#include "EndcreditScene.h"
#include "FuneralScene.h"
#include "HomeScene.h"
#include "IntroScene.h"
#include "OfficeScene.h"
#include "PartyScene.h"
#include "ShopScene.h"
#include "StuffScene.h"
#include "TelephoneScene.h"
#include "VeryrichOfficeScene.h"
#include "characters/Character.h"
#include "effects/ParticleSystem.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"

MyDemo::MyDemo(int width, int height)
    : Demo(width, height)
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

void MyDemo::init()
{
    // The manager and everything it loaded live until the process ends.
    resources = new ResourceManager(kConfigPath);

    // Story order; each scene starts where the one before it ends.
    scenes.push_back(new IntroScene(resources));
    scenes.push_back(new HomeScene(resources, width, height));
    scenes.push_back(new StuffScene(resources));
    scenes.push_back(new TelephoneScene(resources, width, height));
    scenes.push_back(new FuneralScene(resources, width, height));
    scenes.push_back(new CemetryNightScene(resources));
    scenes.push_back(new CemetryDayScene(resources, width, height));
    scenes.push_back(new VeryrichOfficeScene(resources, width, height));
    scenes.push_back(new OfficeScene(resources, width, height));
    scenes.push_back(new AmigaOnDeskScene(resources));
    scenes.push_back(new ShopScene(resources, width, height));
    PartyScene* party = new PartyScene(resources, width, height);
    scenes.push_back(party);
    scenes.push_back(new EndcreditScene(resources));

    warmUp(resources, party);
}

void MyDemo::warmUp(ResourceManager* resources, PartyScene* party)
{
    // The GL driver builds its code for a kind of drawing the first time it
    // sees it, which would cost the first frame of a scene both time and
    // memory. Draw a figure and the blood drops once now, too small to cost
    // drawing time, into the back buffer, and clear them away. No scene or
    // figure of the show is touched. (The first frame draws a backdrop.)
    Character figure;
    figure.setScale(kWarmUpScale);
    const GLuint part = resources->getTexture("harlan_body");
    for (const Character::Part& each : Character::kParts)
        figure.*each.texture = part;
    figure.draw(resources->getShader(ProgramName::kSprite), UniformName::kSampler, UniformName::kMatrix);
    resources->getShader(ProgramName::kBlood)->use();
    party->particles->draw();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
