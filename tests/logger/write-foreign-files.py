"""Writes the MATLAB and HDF5 files the logger tests read, into the folder
given: v5.mat (uncompressed), v5z.mat (compressed), v73.mat and plain.h5.
Each holds the same recording: a time vector t of 0, 0.5, ... 9.5 s, a
vector speed = 2 t, a matrix of two columns (t and 3 t), a struct with a
vector and a text, and a complex vector."""
import sys

import h5py
import numpy as np
import scipy.io

folder = sys.argv[1]
t = np.arange(20) * 0.5
speed = 2 * t
matrix = np.column_stack([t, 3 * t])
counts = np.arange(20, dtype=np.int16)

variables = {
    "t": t,
    "speed": speed,
    "m": matrix,
    "s": {"counts": counts, "label": "engine"},
    "z": np.array([1 + 2j, 3 - 1j]),
}
scipy.io.savemat(f"{folder}/v5.mat", variables, do_compression=False)
scipy.io.savemat(f"{folder}/v5z.mat", variables, do_compression=True)


def matlab_class(dataset, name):
    # MATLAB writes the class as a fixed-length NULLTERM string filling its
    # size; libmatio reads it so.
    kind = h5py.h5t.C_S1.copy()
    kind.set_size(len(name))
    kind.set_strpad(h5py.h5t.STR_NULLTERM)
    attribute = h5py.h5a.create(dataset.id, b"MATLAB_class", kind, h5py.h5s.create(h5py.h5s.SCALAR))
    attribute.write(np.array(name.encode(), dtype=f"S{len(name)}"), mtype=kind)


# MATLAB stores arrays column-major: an n x k matrix is an HDF5 dataset of
# k x n.
with h5py.File(f"{folder}/v73.mat", "w", userblock_size=512) as f:
    for name, value in (("t", t.reshape(1, -1)), ("speed", speed.reshape(1, -1)), ("m", matrix)):
        dataset = f.create_dataset(name, data=np.ascontiguousarray(value.T))
        matlab_class(dataset, "double")
    group = f.create_group("s")
    matlab_class(group, "struct")
    dataset = group.create_dataset("counts", data=counts.reshape(-1, 1))
    matlab_class(dataset, "int16")
header = b"MATLAB 7.3 MAT-file, Platform: GLNXA64, Created on: Fri Dec 11 10:00:00 2026 HDF5 schema 1.00 ."
with open(f"{folder}/v73.mat", "r+b") as f:
    f.write(header.ljust(116, b" ") + b"\0" * 8 + b"\x00\x02IM")

with h5py.File(f"{folder}/plain.h5", "w") as f:
    f.create_dataset("t", data=t).attrs["units"] = "s"
    group = f.create_group("engine")
    dataset = group.create_dataset("speed", data=speed.astype(np.float32))
    dataset.attrs["unit"] = np.bytes_(b"km/h")
    dataset.attrs["comment"] = "wheel speed"
    group.create_dataset("m", data=matrix)
    group.create_dataset("label", data="engine")
    records = np.zeros(20, dtype=[("time", "f8"), ("rpm", "i4"), ("gear", "S2")])
    records["time"] = t
    records["rpm"] = 1000 + 10 * np.arange(20)
    f.create_dataset("table", data=records)
    # A group linked from inside itself is listed once.
    group["again"] = group
