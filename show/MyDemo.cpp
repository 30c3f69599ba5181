#include "MyDemo.h"

#include <GL/glew.h>

#include "AmigaOnDeskScene.h"
#include "CemetryNightScene.h"
#include "EndcreditScene.h"
#include "IntroScene.h"
#include "StuffScene.h"
#include "engine/ResourceManager.h"

MyDemo::MyDemo(int width, int height) : Demo(width, height)
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
    ResourceManager* resources = new ResourceManager("data/config.txt");

    scenes.push_back(new IntroScene(resources));
    scenes.push_back(new StuffScene(resources));
    scenes.push_back(new CemetryNightScene(resources));
    scenes.push_back(new AmigaOnDeskScene(resources));
    scenes.push_back(new EndcreditScene(resources));
}
