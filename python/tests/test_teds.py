"""decode, fields, setting and encoding through the package."""

import datetime
import subprocess
import sys
import threading

import pytest

import tedskit


@pytest.mark.parametrize("form", ["path", "text", "bytes", "hex"])
def test_every_form_of_input_gives_the_same_teds(examples, form):
    text = (examples / "accelerometer.hex").read_text()
    memory = [line for line in text.splitlines() if line and not line.startswith("#")][0]
    given = {"path": examples / "accelerometer.hex", "text": text, "bytes": bytes.fromhex(memory),
             "hex": memory}[form]
    teds = tedskit.decode(given)
    assert teds.template == tedskit.Template("standard", 0, "Accelerometer, IEPE voltage output", "description",
                                             False)
    assert teds["Serial no."] == 1048601
    assert teds.to_hex() == memory


def test_values_are_typed(examples):
    teds = tedskit.decode(examples / "accelerometer.hex")
    assert isinstance(teds["Sensitivity @ Fref"], float)
    assert teds["Calibration date"] == datetime.date(2025, 3, 14)
    direction = teds["Sensitivity direction (x,y,z)"]
    assert (direction, direction.index) == ("z", 2)
    assert teds.field("Sensitivity direction (x,y,z)").choices == ("x", "y", "z")
    low, high, step = teds.field("Sensitivity @ Fref").range
    assert low < teds["Sensitivity @ Fref"] < high and step > 0
    assert teds.field("Sensitivity @ Fref").units == "V/(m/s^2)"
    assert [label for label, _ in teds.items()] == list(teds) == list(teds.labels)


def test_setting_fields_and_reading_them_back(examples):
    teds = tedskit.decode(examples / "accelerometer.hex")
    teds["Calibration date"] = datetime.date(2026, 12, 1)
    teds["Sensitivity direction (x,y,z)"] = "x"
    teds["Meas. position ID"] = 7
    assert teds.set("Fref", 100.0).startswith('"Fref" is stored as')
    again = tedskit.decode(teds.to_text())
    assert again["Calibration date"] == datetime.date(2026, 12, 1)
    assert again["Sensitivity direction (x,y,z)"].index == 0
    assert again["Meas. position ID"] == 7
    assert tedskit.decode(teds.to_bytes()).to_hex() == teds.to_hex()


def test_fields_know_where_their_bits_lie(examples):
    image = tedskit.decode(examples / "accelerometer.hex")
    memory = int.from_bytes(image.to_bytes(), "little")
    for field in image.fields:
        if field.label in ("Model number", "Serial no.", "Meas. position ID"):
            assert (memory >> field.offset) & ((1 << field.bits) - 1) == field.value, field.label
    assert all(field.offset == -1 for field in tedskit.new(117).fields)


def test_chip_layouts_with_page_checksums_decode_back(examples):
    teds = tedskit.decode(examples / "microphone.hex")
    for layout, size in [("chip", 128), ("DS2431", 128), ("ds2433", 512), ("DS28EC20", 2560)]:
        chip = teds.to_bytes(layout=layout)
        assert len(chip) == size
        assert all(sum(chip[page:page + 32]) % 256 == 0 for page in range(0, size, 32))
        assert tedskit.decode(chip).to_hex() == teds.to_hex()
    with pytest.raises(tedskit.EncodeError, match="does not fit a DS2430A"):
        tedskit.new(39).to_bytes(layout="DS2430A")
    with pytest.raises(ValueError, match="none of memory, chip"):
        teds.to_bytes(layout="eeprom")


def test_new_sets_values_in_order():
    teds = tedskit.new(25, {"Serial no.": 4242}, Manufacturer=18)
    assert teds.template.id == 25 and teds.template.engine == "tdl"
    assert (teds["Serial no."], teds["Manufacturer"]) == (4242, 18)
    assert "identifies the sensor" in teds.note
    assert tedskit.new(37).template.provisional


def test_chained_calibration_templates():
    teds = tedskit.new(33)
    teds.add_template(40)
    teds["Calibration table"] = 2
    teds["Calibration table[2].Domain value"] = 75
    first, table = teds.templates
    assert (first.id, table.id, table.name, table.provisional) == (33, 40, "Calibration Table", True)
    labels = [teds.labels[index] for index in table.fields]
    assert labels[:3] == ["Calibration domain", "Calibration table", "Calibration table[1].Domain value"]
    again = tedskit.decode(teds.to_bytes())
    assert [part.id for part in again.templates] == [33, 40]
    assert again["Calibration table[2].Domain value"] == pytest.approx(75, abs=0.0015)
    again.remove_template(1)
    assert [part.id for part in again.templates] == [33]
    assert again.to_text() == tedskit.new(33).to_text()


@pytest.mark.parametrize("label, value, message", [
    ("Sensitivity @ Fref", 173, '"Sensitivity @ Fref" takes 5e-07 to 172.24 V/(m/s^2), not 173'),
    ("Calibration date", "2/30/2020", "no such day"),
    ("Sensitivity direction (x,y,z)", "w", "Sensitivity direction"),
    ("Meas. position ID", -5, "Meas. position ID"),
])
def test_refused_values_leave_the_teds_as_it_was(examples, label, value, message):
    teds = tedskit.decode(examples / "accelerometer.hex")
    before = teds.to_hex()
    with pytest.raises(tedskit.ValueRejected) as refused:
        teds[label] = value
    assert message in str(refused.value)
    assert isinstance(refused.value, ValueError)
    assert teds.to_hex() == before


def test_failures_raise_their_own_exceptions(examples, tmp_path):
    teds = tedskit.decode(examples / "accelerometer.hex")
    with pytest.raises(tedskit.LabelError, match="no field labelled"):
        teds["No such field"]
    with pytest.raises(tedskit.InputError):
        tedskit.decode("memory: 12")
    with pytest.raises(FileNotFoundError):
        tedskit.decode(str(tmp_path / "missing.hex"))
    with pytest.raises(tedskit.TedsError):
        tedskit.new(300)
    with pytest.raises(TypeError):
        teds["Meas. position ID"] = True


def test_check_and_calibration_state(examples):
    teds = tedskit.decode(examples / "accelerometer.hex")
    result = teds.check(on=datetime.date(2026, 3, 1))
    assert result.worst == "clean" and result.findings == ()
    assert result.calibration == tedskit.Calibration(datetime.date(2025, 3, 14), 365, datetime.date(2026, 3, 14), 13)
    teds["Manufacturer"] = 3
    assert [finding.code for finding in teds.check().findings] == ["manufacturer"]
    assert teds.check().worst == "error"


def test_two_threads_at_once(examples):
    failures = []

    def work():
        try:
            for _ in range(20):
                teds = tedskit.decode(examples / "loadcell.hex")
                teds["Meas. position ID"] = 9
                assert tedskit.decode(teds.to_text())["Meas. position ID"] == 9
        except Exception as error:  # reported below, in the main thread
            failures.append(error)

    threads = [threading.Thread(target=work) for _ in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []


def test_command_line(examples):
    decoded = subprocess.run([sys.executable, "-m", "tedskit", "decode", str(examples / "loadcell.hex")],
                             capture_output=True, text=True, check=True)
    assert "Template 24: Load cell" in decoded.stdout
    checked = subprocess.run([sys.executable, "-m", "tedskit", "check", "--on", "2026-01-01", "missing.hex"],
                             capture_output=True, text=True)
    assert checked.returncode == 2 and "missing.hex" in checked.stderr
