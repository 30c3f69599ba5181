#include "MyDemo.h"

#include <GL/glew.h>

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
#include "engine/ResourceManager.h"

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
    ResourceManager* resources = new ResourceManager(kConfigPath);

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
    scenes.push_back(new PartyScene(resources, width, height));
    scenes.push_back(new EndcreditScene(resources));
}
