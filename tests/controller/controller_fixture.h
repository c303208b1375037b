// A main controller over the in-memory engine and the recording view.
#pragma once

#include <gtest/gtest.h>

#include "common/memory_engine.h"
#include "controller/main_controller.h"
#include "fake_main_view.h"

namespace zl::testing {

// Customers (3 fields, 2 indexes), "Open orders" (a QueryDef), Orders (2 fields, 1 index).
inline MemoryDatabaseContent ordersDatabase() {
    MemoryDatabaseContent content;
    content.name = "/data/orders.mdb";
    content.table({"Customers",
                   {longField("ID", true), textField("Name", 50), textField("City", 30)},
                   {index("PrimaryKey", "+ID", true, true), index("NameIdx", "+Name")}});
    content.table({"Orders",
                   {longField("OrderID", true), longField("CustomerID")},
                   {index("PrimaryKey", "+OrderID", true, true)}});
    content.query("Open orders", "SELECT * FROM Orders;\r\n");
    content.listing = std::vector<schema::TableListRow>{
        {"Customers", schema::dao::kTableTypeTable, 0},
        {"Open orders", schema::dao::kTableTypeQueryDef, 0},
        {"Orders", schema::dao::kTableTypeTable, 0},
    };
    return content;
}

class ControllerTest : public ::testing::Test {
protected:
    ControllerTest() {
        view.onToggle = [this](ListId list, int row, bool selected) {
            controller.rowToggled(list, row, selected);
        };
    }

    // Opens `content` as if named on the command line.
    void open(MemoryDatabaseContent content) {
        const std::string name = content.name;
        engine.add(std::move(content));
        services.tutorialSetting = false;
        controller.start({"OPEN=" + name});
    }

    const schema::SchemaModel& model() const { return controller.connection().model(); }

    MemoryEngine engine;
    FakeMainView view;
    FakeServices services;
    controller::MainController controller{engine, view, services};
};

}  // namespace zl::testing
