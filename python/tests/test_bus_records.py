"""The bus, record files, JSON and .ted documents and select cases through the package, on
copies of the bundled simulated bus."""

import datetime
import shutil

import pytest

import tedskit

SENSOR_ROM = "2DE1A5E10D0000FE"
SECOND_ROM = "2D420000000000CC"
SWITCH_ROM = "12AA000000000012"
BLANK_ROM = "2D770000000000CA"


def _sensor(examples):
    return (examples / "sensor.bus").read_text()


def _behind(device, channel):
    return device.replace("  serial", f"  channel {channel}\n  serial", 1)


@pytest.fixture
def sensor_bus(tmp_path, examples):
    path = tmp_path / "sensor.bus"
    shutil.copy(examples / "sensor.bus", path)
    return path


@pytest.fixture
def two_sensors(tmp_path, examples):
    path = tmp_path / "two.bus"
    path.write_text(_sensor(examples) + _sensor(examples).replace("serial 00000DE1A5E1", "serial 000000000042"))
    return path


@pytest.fixture
def triaxial(tmp_path, examples):
    path = tmp_path / "triaxial.bus"
    path.write_text("device DS2406\n  serial 0000000000AA\nend\n" + _behind(_sensor(examples), 2) +
                    _behind("device DS2431\n  serial 000000000077\nend\n", 3))
    return path


def test_scan_and_read_behind_a_switch(triaxial):
    with tedskit.Bus(triaxial) as bus:
        assert bus.scan() == [tedskit.Chip(SWITCH_ROM, 0x12, "DS2406 switch", 0, False),
                              tedskit.Chip(SENSOR_ROM, 0x2D, "DS2431", 2, True),
                              tedskit.Chip(BLANK_ROM, 0x2D, "DS2431", 3, True)]
        assert bus.read(channel=2).template.id == 25
        assert bus.read(SENSOR_ROM)["Serial no."] == bus.read(channel=2)["Serial no."]


@pytest.mark.parametrize("device, channel, error, message", [
    (None, None, tedskit.NoChip, "choose one with channel N"),
    (BLANK_ROM, None, tedskit.NoChip, "is blank"),
    (SWITCH_ROM, None, tedskit.NoChip, "holds no TEDS"),
    (SENSOR_ROM, 3, tedskit.NoChip, "is not behind channel 3"),
    ("2DE1", None, tedskit.TedsError, "device takes a ROM ID"),
])
def test_read_failures_name_the_chips(triaxial, device, channel, error, message):
    with tedskit.Bus(triaxial) as bus, pytest.raises(error, match=message) as raised:
        bus.read(device, channel)
    assert isinstance(raised.value, tedskit.BusError) or error is tedskit.TedsError


def test_several_chips_until_one_is_named(two_sensors):
    with tedskit.Bus(f"sim:{two_sensors}") as bus:
        with pytest.raises(tedskit.SeveralChips, match=f"{SECOND_ROM}.*{SENSOR_ROM}|{SENSOR_ROM}.*{SECOND_ROM}"):
            bus.read()
        with pytest.raises(tedskit.SeveralChips):
            bus.write(tedskit.decode(_hex_of(bus, SENSOR_ROM)))
        assert bus.read(SECOND_ROM).template.id == 25


def _hex_of(bus, device):
    return bus.read(device).to_text()


@pytest.mark.parametrize("name", ["nope:where", "/no/such/dir/sensor.bus"])
def test_a_bad_bus_name_fails_on_open(name):
    with pytest.raises(tedskit.BusUnavailable, match="cannot open the bus"):
        tedskit.Bus(name)


def test_a_closed_bus_is_refused(sensor_bus):
    bus = tedskit.Bus(sensor_bus)
    bus.close()
    with pytest.raises(ValueError, match="closed"):
        bus.scan()


def test_dry_run_then_write_returns_what_changed(sensor_bus):
    before = sensor_bus.read_bytes()
    with tedskit.Bus(sensor_bus) as bus:
        teds = bus.read()
        assert bus.write(teds, dry_run=True).changes == ()
        teds["Calibration date"] = datetime.date(2026, 3, 2)
        dry = bus.write(teds, dry_run=True)
        assert (dry.written, dry.chip) == (False, "teds")
        assert dry.changes == (tedskit.Change("Calibration date", "1/15/2026", "3/2/2026"),)
        assert sensor_bus.read_bytes() == before
        done = bus.write(teds, device=SENSOR_ROM)
        assert done.written and done.summary.startswith(f"template 25 to the DS2431 {SENSOR_ROM}")
        assert str(done) == "Changes:\n  Calibration date: 1/15/2026 -> 3/2/2026\n"
        assert bus.read()["Calibration date"] == datetime.date(2026, 3, 2)


def test_a_refused_write_leaves_the_chip_untouched(tmp_path, examples):
    protected = tmp_path / "protected.bus"
    protected.write_text(_sensor(examples).replace("memory 0080 00 00 00 00", "memory 0080 55 00 00 00"))
    before = protected.read_bytes()
    with tedskit.Bus(protected) as bus:
        teds = bus.read()
        teds["Serial no."] = 4711
        with pytest.raises(tedskit.WriteRefused, match="page 0 of DS2431 .* is write-protected: nothing written"):
            bus.write(teds)
        corrupt = tedskit.decode(_corrupted(teds))
        with pytest.raises(tedskit.WriteRefused, match="checksum does not match"):
            bus.write(corrupt, dry_run=True)
    assert protected.read_bytes() == before


def _corrupted(teds):
    text = teds.to_text()
    at = text.index("memory: ") + 8
    checksum = int(text[at:at + 2], 16)
    return text[:at] + f"{(checksum + 1) % 256:02X}" + text[at + 2:]


def test_records_save_load_and_refuse(tmp_path, examples):
    accelerometer = tedskit.decode(examples / "accelerometer.hex")
    microphone = tedskit.decode(examples / "microphone.hex")
    path = tmp_path / "rig.txt"
    tedskit.records.save(path, [accelerometer, microphone])
    saved = path.read_bytes()
    with pytest.raises(tedskit.RecordFileError, match="the file exists"):
        tedskit.records.save(path, [accelerometer])
    assert path.read_bytes() == saved
    tedskit.records.save(path, [microphone], append=True)
    loaded = tedskit.records.load(path)
    assert [teds.template.id for teds in loaded] == [0, 12, 12]
    assert loaded.skipped == ()
    assert loaded[0]["Serial no."] == accelerometer["Serial no."]
    with pytest.raises(tedskit.RecordFileError, match="cannot read the records"):
        tedskit.records.load(tmp_path / "missing.txt")


def test_records_keep_channel_and_unit_numbers(tmp_path, examples):
    accelerometer = tedskit.decode(examples / "accelerometer.hex")
    path = tmp_path / "rig.txt"
    with pytest.raises(ValueError, match="a unit number is an integer 0 or more"):
        tedskit.records.save(path, [tedskit.records.Record(accelerometer, 1, -3)])
    assert not path.exists()
    tedskit.records.save(path, [tedskit.records.Record(accelerometer, channel=4, unit=2), accelerometer])
    loaded = tedskit.records.load(path)
    assert [(r.channel, r.unit) for r in loaded.numbered] == [(4, 2), (None, None)]
    assert loaded.numbered[0].teds is loaded[0]


def test_a_broken_record_is_reported(tmp_path, examples):
    path = tmp_path / "rig.txt"
    tedskit.records.save(path, [tedskit.decode(examples / "accelerometer.hex"),
                                tedskit.decode(examples / "microphone.hex")])
    path.write_bytes(path.read_bytes().replace(b'"Model number",4507,', b'"Model number",99999,'))
    loaded = tedskit.records.load(path)
    assert [teds.template.id for teds in loaded] == [12]
    assert loaded.skipped == (tedskit.records.Skipped(
        1, 'the record of template 0 holds a value it cannot: "Model number" takes 0 to 32767, not 99999'),)


@pytest.mark.parametrize("image", ["accelerometer.hex", "microphone.hex", "loadcell.hex", "triaxial.hex"])
def test_json_and_ted_round_trips(tmp_path, examples, image):
    teds = tedskit.decode(examples / image)
    assert tedskit.decode(teds.to_json()).to_hex() == teds.to_hex()
    ted = teds.to_ted()
    assert tedskit.decode(ted).to_hex() == teds.to_hex()
    path = tmp_path / "sensor.ted"
    path.write_bytes(ted)
    assert tedskit.decode(path).to_hex() == tedskit.decode(str(path)).to_hex() == teds.to_hex()


def test_json_edited_by_hand_is_checked(examples):
    text = tedskit.decode(examples / "accelerometer.hex").to_json()
    assert '"Serial no."' in text and "1048601" in text
    assert tedskit.decode(text.replace("1048601", "1048602"))["Serial no."] == 1048602
    with pytest.raises(tedskit.ValueRejected):
        tedskit.decode(text.replace("1048601", "99999999999"))


def test_select_cases_are_read_and_set(examples, sensor_bus):
    assert len(tedskit.decode(examples / "accelerometer.hex").select_cases) == 0
    with tedskit.Bus(sensor_bus) as bus:
        cases = bus.read().select_cases
    assert cases["Transducer type"] == tedskit.SelectCase("Transducer type", 0, "Acceleration", True, False)
    bridge = tedskit.new(33)
    measurand = bridge.select_cases["Physical measurand"]
    assert measurand.settable and measurand.case == "K"
    bridge.select_cases["Physical measurand"] = "degC"
    assert bridge["Physical measurand"] == "degC"
    assert bridge.select_cases["Physical measurand"].value == 1
    assert tedskit.decode(bridge.to_hex(), tdl=True)["Physical measurand"] == "degC"
    # Cases laid out from their stored selector: the new case's fields appear, the others stay.
    force = tedskit.new(25)
    force["Weight"] = 12.5
    force.select_cases["Transducer type"] = "Force"
    assert force.select_cases["Transducer type"].value == 1 and not force.select_cases["Transducer type"].by_field
    assert "Stiffness" in force and force["Weight"] == pytest.approx(12.5, rel=0.2)
    divider = tedskit.new(39)
    divider.select_cases["Electrical signal precision"] = 1
    assert "20 bit" == tedskit.decode(divider.to_hex(), tdl=True).select_cases["Electrical signal precision"].case
    with pytest.raises(tedskit.ValueRejected, match="takes one of Acceleration, Force"):
        force.select_cases["Transducer type"] = "Torque"
    with pytest.raises(tedskit.LabelError):
        bridge.select_cases["No such case"] = 0


def test_the_command_line_reads_a_chip(sensor_bus, two_sensors, capsys, monkeypatch):
    from tedskit.__main__ import main

    monkeypatch.delenv("TEDSKIT_BUS", raising=False)
    assert main(["read", "--bus", str(sensor_bus)]) == 0
    assert "Template 25: Accelerometer & Force" in capsys.readouterr().out
    assert main(["read", "--bus", str(two_sensors)]) == 1
    assert "2 TEDS chips on the bus" in capsys.readouterr().err
    assert main(["read"]) == 1
    assert "give --bus" in capsys.readouterr().err
