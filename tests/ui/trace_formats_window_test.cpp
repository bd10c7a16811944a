// Traces of other samplers opened in the window: the names of their header line in the column
// chooser and in the Diagnostics table, beside the figures of their numbers.
#include <QComboBox>
#include <QTabWidget>

#include "tests/trace_styles.h"
#include "ui/diagnostics_table.h"
#include "window_fixture.h"
#include "window_parts.h"

namespace varno {
namespace {

using namespace testing;

using testing::WindowFixture;

struct TraceFormatsWindow : WindowFixture {};

TEST_F(TraceFormatsWindow, HeaderNamesShowInTheChooserAndTheDiagnosticsTable) {
  for (const TraceStyle& style : traceStyles()) {
    SCOPED_TRACE(style.name);
    form->actOnCommandLine({write(style.fileName, QByteArray::fromStdString(style.content))});
    idle();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    ASSERT_EQ(form->analysis().rowCount, static_cast<int>(style.rows.size()));

    const QComboBox* chooser = part<QComboBox>(*form, "xi");
    ASSERT_EQ(chooser->count(), static_cast<int>(style.names.size()));
    for (int c = 0; c < chooser->count(); ++c)
      EXPECT_EQ(chooser->itemText(c).toStdString(), style.names[static_cast<std::size_t>(c)]);

    part<QTabWidget>(*form, "Pages")->setCurrentIndex(2);
    idle();
    const auto& table = *part<DiagnosticsTable>(*form, "diagnosticsTable");
    ASSERT_EQ(table.rowCount(), static_cast<int>(style.names.size()));
    for (int r = 0; r < table.rowCount(); ++r) {
      const int column = table.item(r, 0)->text().toInt();  // 1-based, whatever the sort
      ASSERT_GE(column, 1);
      const std::size_t at = static_cast<std::size_t>(column - 1);
      EXPECT_EQ(table.item(r, 1)->text().toStdString(), style.names[at]);
      EXPECT_EQ(table.item(r, 3)->text().toStdString(), style.means[at]);
    }
    part<QTabWidget>(*form, "Pages")->setCurrentIndex(0);
    idle();
  }
}

}  // namespace
}  // namespace varno
